#!/usr/bin/env bash
# Writes the SHA-256 of the installer that will be published into the winget
# manifests of every edition (tools/winget/installer.sha256, then the
# manifests made anew). Run it on the very file put on the download server.
# Usage: tools/winget/set-installer-hash.sh PATH/TO/Instalator.exe
set -eu
here=$(cd "$(dirname "$0")" && pwd)
exe=${1:?path to Instalator.exe}
sha256sum "$exe" | cut -d' ' -f1 | tr 'a-f' 'A-F' >"$here/installer.sha256"
python3 "$here/make-manifests.py"
echo "winget manifests: InstallerSha256 $(cat "$here/installer.sha256")"
