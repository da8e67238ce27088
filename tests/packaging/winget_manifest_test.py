#!/usr/bin/env python3
"""Checks the winget manifests: each against winget's own published JSON
schema for manifest 1.7.0 (tests/packaging/winget-schema), each as the one
template makes it for its edition, and each against the installer itself:
its options, its "Apps & features" entry, its version and its exit codes,
which the README and the deployment guide list as one table."""
import glob
import importlib.util
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest

import jsonschema
import yaml

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCHEMAS = os.path.join(ROOT, "tests", "packaging", "winget-schema")
PACKAGING = os.path.join(ROOT, "packaging", "winget")
PACKAGE_DIRS = sorted(glob.glob(os.path.join(PACKAGING, "*", "*")))
GENERATOR = os.path.join(ROOT, "tools", "winget", "make-manifests.py")
MANIFEST_VERSION = "1.7.0"

# The installer's own facts (version, editions, publisher, exit codes), read
# from its sources the way the manifests' generator reads them.
_spec = importlib.util.spec_from_file_location("make_manifests", GENERATOR)
sources = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(sources)
read, project_version, exit_codes, publisher = sources.read, sources.project_version, sources.exit_codes, sources.publisher


def editions():
    return [name for name, _ in sources.editions()]


def installer_options():
    """The installer's options: name -> whether a run with a window takes it too."""
    table = re.findall(r'\{L"([A-Z?-]+)", OptionId::\w+, (?:true|false), Runs::(\w+)\}',
                       read("src", "app", "CommandLine.cpp"))
    return {name: runs == "Both" for name, runs in table}


def uninstall_key_prefix():
    return re.search(r'kUninstallKeyPrefix = L"([^"]+)"', read("src", "services", "paths", "InstallationPaths.cpp")).group(1)


def documented_codes(path, row):
    """The exit codes a table in a Markdown file lists, one row each."""
    return [int(code) for code in re.findall(row, read(*path), re.M)]


def load(directory, suffix):
    paths = [p for p in glob.glob(os.path.join(directory, "*.yaml")) if p.endswith(suffix)]
    if len(paths) != 1:
        raise AssertionError(f"{directory}: {len(paths)} files ending in {suffix}")
    with open(paths[0], encoding="utf-8") as stream:
        return os.path.basename(paths[0]), yaml.safe_load(stream)


def manifests(directory):
    identifier = os.path.basename(os.path.dirname(directory))
    _, version = load(directory, f"{identifier}.yaml")
    _, installer = load(directory, ".installer.yaml")
    _, locale = load(directory, f".locale.{version['DefaultLocale']}.yaml")
    return identifier, version, installer, locale


def schema_validator(kind):
    with open(os.path.join(SCHEMAS, f"manifest.{kind}.{MANIFEST_VERSION}.json"), encoding="utf-8") as stream:
        schema = json.load(stream)
    # The schemas name their draft with "http://" and a "#", which the
    # library's table of drafts may not know: choose the draft by its number.
    draft = jsonschema.Draft202012Validator if "2020-12" in schema["$schema"] else jsonschema.Draft7Validator
    draft.check_schema(schema)
    return draft(schema, format_checker=draft.FORMAT_CHECKER)


class WingetManifestTest(unittest.TestCase):
    def test_one_package_per_edition_in_the_projects_version(self):
        self.assertEqual(sorted(os.path.basename(os.path.dirname(d)) for d in PACKAGE_DIRS),
                         sorted(uninstall_key_prefix() + edition for edition in editions()))
        for directory in PACKAGE_DIRS:
            self.assertEqual(os.path.basename(directory), project_version())

    def test_every_manifest_is_valid_by_wingets_own_schema(self):
        validators = {kind: schema_validator(kind) for kind in ("version", "installer", "defaultLocale")}
        for directory in PACKAGE_DIRS:
            identifier, version, installer, locale = manifests(directory)
            for manifest, kind in ((version, "version"), (installer, "installer"), (locale, "defaultLocale")):
                errors = [f"{'/'.join(map(str, e.path))}: {e.message}" for e in validators[kind].iter_errors(manifest)]
                self.assertEqual(errors, [], f"{identifier} {kind}")
                self.assertEqual(manifest["ManifestType"], kind)
                self.assertEqual(manifest["ManifestVersion"], MANIFEST_VERSION)
                self.assertEqual(manifest["PackageIdentifier"], identifier)
                self.assertEqual(manifest["PackageVersion"], project_version())

    def test_the_schema_check_catches_what_winget_refuses(self):
        validator = schema_validator("installer")
        _, _, installer, _ = manifests(PACKAGE_DIRS[0])
        for field, wrong in (("InstallerType", "setup"), ("MinimumOSVersion", "Windows 10"), ("Installers", []),
                             ("RepairBehavior", "reinstall")):
            broken = dict(installer, **{field: wrong})
            self.assertTrue(list(validator.iter_errors(broken)), field)
        broken = dict(installer, ExpectedReturnCodes=[{"InstallerReturnCode": 0, "ReturnResponse": "custom"}])
        self.assertTrue(list(validator.iter_errors(broken)), "a return code of 0")

    def test_the_manifests_are_the_templates_output(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, GENERATOR, "--out", out], check=True)
            made = sorted(os.path.relpath(p, out) for p in glob.glob(os.path.join(out, "*", "*", "*")))
            committed = sorted(os.path.relpath(p, PACKAGING) for p in glob.glob(os.path.join(PACKAGING, "*", "*", "*")))
            self.assertEqual(made, committed)
            for name in made:
                with open(os.path.join(out, name), encoding="utf-8") as a, \
                        open(os.path.join(PACKAGING, name), encoding="utf-8") as b:
                    self.assertEqual(a.read(), b.read(), f"{name}: run tools/winget/make-manifests.py")

    def test_switches_are_what_the_installer_takes_with_blanks_quoted(self):
        options = installer_options()
        for directory in PACKAGE_DIRS:
            identifier, _, installer, _ = manifests(directory)
            edition = identifier[len(uninstall_key_prefix()):]
            self.assertEqual(len(installer["Installers"]), 2)
            for entry in installer["Installers"]:
                switches = entry["InstallerSwitches"]
                # winget's paths lie below the user's profile, "C:\Users\Jan Kowalski\...".
                self.assertEqual(switches["Log"], '/LOG="<LOGPATH>"')
                self.assertEqual(switches["InstallLocation"], '/DIR="<INSTALLPATH>"')
                for value in switches.values():
                    for token in value.split():
                        name = re.match(r'^/([A-Z?-]+)(=.*)?$', token).group(1)
                        self.assertIn(name, options, token)
                for mode in ("Silent", "SilentWithProgress"):
                    tokens = switches[mode].split()
                    self.assertLessEqual({"/SILENT", "/ACCEPTLICENCE", f"/EDITION={edition}"}, set(tokens), mode)
                self.assertEqual("/ALLUSERS" in switches["Silent"].split(), entry["Scope"] == "machine")
                # winget repair adds /REPAIR to the mode's switches and the log; a window run takes it too.
                self.assertEqual(switches["Repair"], "/REPAIR")
                self.assertTrue(options["REPAIR"])
            self.assertEqual(installer["RepairBehavior"], "installer")
            # "winget install -i" passes the interactive switches, the log and the location to a window run.
            self.assertIn("interactive", installer["InstallModes"])
            self.assertTrue(options["LOG"] and options["DIR"] and options["ALLUSERS"])

    def test_apps_and_features_entries_are_the_installers_own(self):
        for directory in PACKAGE_DIRS:
            identifier, _, installer, locale = manifests(directory)
            edition = identifier[len(uninstall_key_prefix()):]
            short_version = ".".join(project_version().split(".")[:2])
            for entry in installer["Installers"]:
                self.assertIn(project_version(), entry["InstallerUrl"], "a versioned InstallerUrl")
                self.assertNotEqual(set(entry["InstallerSha256"]), {"0"}, "the hash is still a placeholder")
                self.assertEqual(entry["AppsAndFeaturesEntries"], [{
                    "DisplayName": f"Kanvel {edition} {short_version}",
                    "Publisher": publisher(),
                    "DisplayVersion": project_version(),
                    "ProductCode": uninstall_key_prefix() + edition,
                }])
            self.assertEqual(locale["Publisher"], publisher())
            self.assertTrue(locale["LicenseUrl"])
            self.assertTrue(locale["Agreements"][0]["AgreementUrl"] == locale["LicenseUrl"])

    def test_return_codes_are_the_installers_exit_codes_in_one_table(self):
        codes = exit_codes()
        self.assertEqual(codes["Success"], 0)
        self.assertEqual(len(set(codes.values())), len(codes), "two exit codes share a value")
        table = sorted(codes.values())
        self.assertEqual(documented_codes(["README.md"], r"^\| `(\d+)` \|"), table, "README's exit code table")
        self.assertEqual(documented_codes(["docs", "deployment.md"], r"^\s*\| (\d+) \|"), table, "the guide's table")
        # The guide's last column is what winget tells: the manifests' responses.
        guide = {int(code): response for code, response in
                 re.findall(r"^\s*\| (\d+) \|.*\| (\w+) \|$", read("docs", "deployment.md"), re.M)}
        for directory in PACKAGE_DIRS:
            _, _, installer, _ = manifests(directory)
            listed = [entry["InstallerReturnCode"] for entry in installer["ExpectedReturnCodes"]]
            self.assertEqual(listed, [code for code in table if code != 0])
            responses = {entry["InstallerReturnCode"]: entry["ReturnResponse"] for entry in installer["ExpectedReturnCodes"]}
            self.assertEqual(responses, {code: response for code, response in guide.items() if code != 0})
            self.assertEqual(responses[codes["AnotherRunInProgress"]], "installInProgress")
            self.assertEqual(responses[codes["BadArguments"]], "invalidParameter")

    def test_the_executable_says_the_same_version(self):
        version = project_version()
        self.assertIn('version="@KANVEL_VERSION_DOTS@"', read("src", "program", "Instalator.manifest"))
        resource = read("src", "program", "Instalator.rc")
        self.assertIn('VALUE "ProductVersion", "@PROJECT_VERSION@"', resource)
        self.assertIn("FILEVERSION @KANVEL_VERSION_COMMAS@", resource)
        self.assertIn(f'KANVEL_VERSION=L"${{PROJECT_VERSION}}"', read("CMakeLists.txt"))
        self.assertRegex(version, r"^\d+\.\d+\.\d+$")


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False, verbosity=0).result.wasSuccessful() else 1)
