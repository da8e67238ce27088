#!/usr/bin/env python3
"""Checks the winget manifests field by field against the rules of winget's
manifest schema 1.6.0 (required fields, enumerations, patterns, lengths) and
against the installer itself: the switches name only options it knows, and
every return code is one of its exit codes, as the README documents them."""
import glob
import os
import re
import sys
import unittest

import yaml

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PACKAGE_DIRS = sorted(glob.glob(os.path.join(ROOT, "packaging", "winget", "*", "*")))

IDENTIFIER = re.compile(r'^[^.\s\\/:*?"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}$')
VERSION = re.compile(r'^[^\\/:*?"<>|\x01-\x1f]+$')
LOCALE = re.compile(r'^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$')
URL = re.compile(r'^[Hh][Tt][Tt][Pp][Ss]?://.+$')
SHA256 = re.compile(r'^[A-Fa-f0-9]{64}$')
INSTALLER_TYPES = {"msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn", "pwa", "portable"}
ARCHITECTURES = {"x86", "x64", "arm", "arm64", "neutral"}
INSTALL_MODES = {"interactive", "silent", "silentWithProgress"}
SWITCHES = {"Silent", "SilentWithProgress", "Interactive", "InstallLocation", "Log", "Upgrade", "Custom"}
RETURN_RESPONSES = {
    "packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse", "missingDependency", "diskFull",
    "insufficientMemory", "invalidParameter", "noNetwork", "contactSupport", "rebootRequiredToFinish",
    "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser", "alreadyInstalled", "downgrade",
    "blockedByPolicy", "systemNotSupported", "custom",
}
# What winget should tell for each of the installer's failures.
RESPONSE_OF = {
    "UnexpectedError": "contactSupport",
    "BadArguments": "invalidParameter",
    "LicenceNotAccepted": "cancelledByUser",
    "DownloadFailed": "noNetwork",
    "DatabaseCopyAborted": "fileInUse",
    "SignatureRefused": "contactSupport",
}
INSTALLER_OPTIONS = {"SILENT", "ACCEPTLICENCE", "EDITION", "DIR", "COMPONENTS", "NOSHORTCUTS", "SHORTCUTS",
                     "UNINSTALL", "LOG"}
EDITIONS = {"KOORDYNATOR", "PROCESOR", "ADMINISTRATOR", "ASYSTENT", "KONSTRUKTOR"}


def exit_codes():
    """The installer's exit codes, by name, from its own header."""
    with open(os.path.join(ROOT, "src", "app", "ExitCode.h"), encoding="utf-8") as header:
        return {name: int(value) for name, value in re.findall(r"^\s*(\w+) = (\d+),", header.read(), re.M)}


def readme_exit_codes():
    """The codes the README's exit code table lists."""
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as readme:
        return {int(code) for code in re.findall(r"^\| `(\d+)` \|", readme.read(), re.M)}


def load(directory, suffix):
    paths = [p for p in glob.glob(os.path.join(directory, "*.yaml")) if p.endswith(suffix)]
    if len(paths) != 1:
        raise AssertionError(f"{directory}: {len(paths)} files ending in {suffix}")
    with open(paths[0], encoding="utf-8") as stream:
        return os.path.basename(paths[0]), yaml.safe_load(stream)


class WingetManifestTest(unittest.TestCase):
    def test_there_is_a_package(self):
        self.assertTrue(PACKAGE_DIRS)

    def test_the_three_files_describe_one_package_version(self):
        for directory in PACKAGE_DIRS:
            version_name, version = load(directory, f"{os.path.basename(os.path.dirname(directory))}.yaml")
            _, installer = load(directory, ".installer.yaml")
            locale_name, locale = load(directory, f".locale.{version['DefaultLocale']}.yaml")
            identifier = os.path.basename(os.path.dirname(directory))
            for manifest, kind in ((version, "version"), (installer, "installer"), (locale, "defaultLocale")):
                self.assertEqual(manifest["PackageIdentifier"], identifier)
                self.assertEqual(manifest["PackageVersion"], os.path.basename(directory))
                self.assertEqual(manifest["ManifestType"], kind)
                self.assertEqual(manifest["ManifestVersion"], "1.6.0")
            self.assertRegex(identifier, IDENTIFIER)
            self.assertRegex(version["PackageVersion"], VERSION)
            self.assertEqual(version_name, identifier + ".yaml")
            self.assertEqual(locale_name, f"{identifier}.locale.{locale['PackageLocale']}.yaml")

    def test_default_locale_fields(self):
        for directory in PACKAGE_DIRS:
            _, version = load(directory, f"{os.path.basename(os.path.dirname(directory))}.yaml")
            _, locale = load(directory, f".locale.{version['DefaultLocale']}.yaml")
            self.assertRegex(locale["PackageLocale"], LOCALE)
            for field, low, high in (("Publisher", 2, 256), ("PackageName", 2, 256), ("License", 3, 512),
                                     ("ShortDescription", 3, 256)):
                self.assertTrue(low <= len(locale[field]) <= high, field)
            for field in ("PublisherUrl", "PublisherSupportUrl", "PackageUrl"):
                if field in locale:
                    self.assertRegex(locale[field], URL)
            self.assertLessEqual(len(locale.get("Description", "")), 10000)
            for tag in locale.get("Tags", []):
                self.assertTrue(1 <= len(tag) <= 40 and " " not in tag, tag)

    def test_installer_fields(self):
        for directory in PACKAGE_DIRS:
            _, installer = load(directory, ".installer.yaml")
            self.assertIn(installer["InstallerType"], INSTALLER_TYPES)
            self.assertRegex(installer["InstallerLocale"], LOCALE)
            self.assertLessEqual(set(installer["InstallModes"]), INSTALL_MODES)
            self.assertIn(installer["Scope"], {"user", "machine"})
            self.assertIn(installer["UpgradeBehavior"], {"install", "uninstallPrevious"})
            self.assertTrue(installer["Installers"])
            for entry in installer["Installers"]:
                self.assertIn(entry["Architecture"], ARCHITECTURES)
                self.assertRegex(entry["InstallerUrl"], URL)
                self.assertRegex(entry["InstallerSha256"], SHA256)
                self.assertNotEqual(set(entry["InstallerSha256"]), {"0"}, "the hash is still a placeholder")

    def test_switches_are_options_the_installer_knows(self):
        for directory in PACKAGE_DIRS:
            _, installer = load(directory, ".installer.yaml")
            switches = installer["InstallerSwitches"]
            self.assertLessEqual(set(switches), SWITCHES)
            for name, value in switches.items():
                self.assertTrue(1 <= len(value) <= 512, name)
                for token in value.split():
                    option = re.match(r"^[/-]([A-Za-z]+)(=.*)?$", token)
                    self.assertIsNotNone(option, token)
                    self.assertIn(option.group(1).upper(), INSTALLER_OPTIONS, token)
            for mode in ("Silent", "SilentWithProgress"):
                options = {t.split("=")[0].upper() for t in switches[mode].split()}
                self.assertLessEqual({"/SILENT", "/ACCEPTLICENCE", "/EDITION"}, options, mode)
                edition = re.search(r"/EDITION=(\w+)", switches[mode]).group(1)
                self.assertIn(edition.upper(), EDITIONS)
            self.assertEqual(switches["InstallLocation"], "/DIR=<INSTALLPATH>")
            self.assertEqual(switches["Log"], "/LOG=<LOGPATH>")

    def test_return_codes_are_the_installers_exit_codes(self):
        codes = exit_codes()
        self.assertEqual(codes["Success"], 0)
        self.assertEqual(len(set(codes.values())), len(codes), "two exit codes share a value")
        self.assertEqual(readme_exit_codes(), set(codes.values()), "README's exit code table")
        for directory in PACKAGE_DIRS:
            _, installer = load(directory, ".installer.yaml")
            mapped = {entry["InstallerReturnCode"]: entry["ReturnResponse"] for entry in installer["ExpectedReturnCodes"]}
            self.assertEqual(len(mapped), len(installer["ExpectedReturnCodes"]), "a return code listed twice")
            for response in mapped.values():
                self.assertIn(response, RETURN_RESPONSES)
            self.assertEqual(mapped, {codes[name]: response for name, response in RESPONSE_OF.items()})


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False, verbosity=0).result.wasSuccessful() else 1)
