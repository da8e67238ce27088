#!/usr/bin/env python3
"""Makes the winget manifests of every Kanvel edition from the one template
in tools/winget/template: the editions from src/services/installer/Editions.h, the
version from the project's version in CMakeLists.txt, the publisher from
src/pages/licence/ProducerInfo.h, the return codes from src/app/ExitCode.h,
and the installer's SHA-256 from tools/winget/installer.sha256 (written by
set-installer-hash.sh). Writes packaging/winget/<identifier>/<version>/, or
the folder given with --out. --release names the release's version (the one
its release list names, which the installer writes as DisplayVersion) when it
is not the project's.

Usage: tools/winget/make-manifests.py [--out FOLDER] [--release VERSION]"""
import argparse
import os
import re
import shutil
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
TEMPLATE = os.path.join(ROOT, "tools", "winget", "template")
IDENTIFIER_PREFIX = "Velmarin.Kanvel."
INSTALLER_URL = "https://www.velmarin.example/pobieranie/kanvel/{version}/Instalator.exe"

# What winget tells for each of the installer's failures.
RESPONSE_OF = {
    "UnexpectedError": "contactSupport",
    "BadArguments": "invalidParameter",
    "LicenceNotAccepted": "cancelledByUser",
    "DownloadFailed": "noNetwork",
    "DatabaseCopyAborted": "fileInUse",
    "RemovalIncomplete": "packageInUse",
    "SignatureRefused": "contactSupport",
    "ComponentMissing": "noNetwork",
    "ShortcutOrEntryMissing": "contactSupport",
    "ProxySignInNeeded": "noNetwork",
    "SourceMismatch": "contactSupport",
    "DiskFull": "diskFull",
    "FilesInUse": "packageInUse",
    "EngineNotStarted": "cancelledByUser",
    "NewerReleaseInstalled": "downgrade",
    "InstalledByAnotherAccount": "invalidParameter",
    "ReleaseListRefused": "contactSupport",
    "AnotherRunInProgress": "installInProgress",
}


def read(*path):
    with open(os.path.join(ROOT, *path), encoding="utf-8") as stream:
        return stream.read()


def project_version():
    return re.search(r"project\(\w+ VERSION (\d+\.\d+\.\d+)", read("CMakeLists.txt")).group(1)


def editions():
    """(name, program base name) of each edition, in the order of the edition choice."""
    return re.findall(r'\{L"(\w+)", L"(\w+)"\}', read("src", "services", "installer", "Editions.h"))


def publisher():
    return re.search(r'kProducerName = L"([^"]+)"', read("src", "pages", "licence", "ProducerInfo.h")).group(1)


def exit_codes():
    """The installer's exit codes by name, from its own header."""
    return {name: int(value) for name, value in re.findall(r"^\s*(\w+) = (\d+),", read("src", "app", "ExitCode.h"), re.M)}


def installer_sha256():
    return read("tools", "winget", "installer.sha256").split()[0].upper()


def return_codes():
    codes = exit_codes()
    lines = []
    for name, value in sorted(codes.items(), key=lambda item: item[1]):
        if value == 0:
            continue
        lines.append(f"  - InstallerReturnCode: {value}\n    ReturnResponse: {RESPONSE_OF[name]}")
    return "\n".join(lines)


def fill(template, values):
    text = template
    for key, value in values.items():
        text = text.replace(f"@{key}@", value)
    leftover = re.search(r"@[A-Z_]+@", text)
    if leftover:
        raise SystemExit(f"make-manifests: no value for {leftover.group(0)}")
    return text


def write_package(out, edition, version, common):
    identifier = IDENTIFIER_PREFIX + edition
    folder = os.path.join(out, identifier, version)
    os.makedirs(folder, exist_ok=True)
    major_minor = ".".join(version.split(".")[:2])
    values = dict(common, EDITION=edition, IDENTIFIER=identifier, DISPLAY_NAME=f"Kanvel {edition} {major_minor}")
    for template, name in (("version.yaml", f"{identifier}.yaml"),
                           ("installer.yaml", f"{identifier}.installer.yaml"),
                           ("locale.pl-PL.yaml", f"{identifier}.locale.pl-PL.yaml")):
        with open(os.path.join(TEMPLATE, template), encoding="utf-8") as stream:
            text = fill(stream.read(), values)
        with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as stream:
            stream.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(ROOT, "packaging", "winget"))
    parser.add_argument("--release", help="the release's version (default: the project's)")
    arguments = parser.parse_args()
    out = arguments.out
    version = arguments.release or project_version()
    if not re.fullmatch(r"\d+(\.\d+)*", version):
        raise SystemExit(f"make-manifests: a release's version is numbers with dots between: {version}")
    common = {"VERSION": version, "PUBLISHER": publisher(), "SHA256": installer_sha256(),
              "URL": INSTALLER_URL.format(version=version), "RETURN_CODES": return_codes()}
    # Every package folder is made anew: an edition or a version that went, goes.
    for entry in os.listdir(out) if os.path.isdir(out) else []:
        if entry.startswith(IDENTIFIER_PREFIX):
            shutil.rmtree(os.path.join(out, entry))
    for edition, _ in editions():
        write_package(out, edition, version, common)
    return 0


if __name__ == "__main__":
    sys.exit(main())
