#!/usr/bin/env bash
# Writes the SHA-256 of the installer that will be published into the winget
# installer manifest. Run it on the very file put on the download server.
# Usage: tools/winget/set-installer-hash.sh PATH/TO/Instalator.exe
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=${1:?path to Instalator.exe}
hash=$(sha256sum "$exe" | cut -d' ' -f1 | tr 'a-f' 'A-F')
for manifest in "$root"/packaging/winget/*/*/*.installer.yaml; do
  sed -i -E "s/^(    InstallerSha256: ).*/\1$hash/" "$manifest"
  echo "$manifest: $hash"
done
