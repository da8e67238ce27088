#!/usr/bin/env bash
# Builds the tree the local download mirror serves, in BUILD_DIR/mirror/root,
# from the demo programs of the Windows cross build in BUILD_DIR/tools/demo.
# Usage: make-tree.sh BUILD_DIR
#   programy/wersja7/poprawki/<program>._exe   the edition programs
#   sterowniki/bde/setup._exe                  the database engine installer
#   programy/wersja7/bkp6/<table>              placeholder tables named in tables.txt
#   Kanvel-pliki.txt, Kanvel-pliki.txt.p7s      the release list of the whole tree, for
#                                              the project's version, signed by the test
#                                              maker of the mirror's certificates (tls/,
#                                              made by tools/tls/make-test-pki.sh when missing)
# Only these folders and the list are rebuilt; anything else under root is
# left alone (and listed). A test that changes the tree afterwards makes the
# list again with tools/release-list.sh, as the maker would.
# KANVEL_MIRROR_DIR, when set, replaces BUILD_DIR/mirror here and in start.sh
# and stop.sh, so a test can run a mirror of its own beside the usual one.
set -euo pipefail
build_dir=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
demo_dir="$build_dir/tools/demo"
root="${KANVEL_MIRROR_DIR:-$build_dir/mirror}/root"
programs=(Edytor3 Edytor2p Edytor2 Edytor1a Edytor1)
table_size=512

for exe in "${programs[@]}" setup; do
  if [ ! -f "$demo_dir/$exe.exe" ]; then
    echo "make-tree: $demo_dir/$exe.exe is missing: build the demo programs first" >&2
    exit 1
  fi
done

rm -rf "$root/programy" "$root/sterowniki"
mkdir -p "$root/programy/wersja7/poprawki" "$root/programy/wersja7/bkp6" "$root/sterowniki/bde"

# The programs are served under their name with "._exe" in place of ".exe".
for exe in "${programs[@]}"; do
  cp "$demo_dir/$exe.exe" "$root/programy/wersja7/poprawki/$exe._exe"
done
cp "$demo_dir/setup.exe" "$root/sterowniki/bde/setup._exe"

# A placeholder table: a line naming it, padded with dots to a fixed size.
write_table() {
  local name=$1 header
  header="Kanvel 7.0 placeholder table $name"$'\n'
  {
    printf '%s' "$header"
    head -c $((table_size - ${#header})) /dev/zero | tr '\0' '.'
  } >"$root/programy/wersja7/bkp6/$name"
}

count=0
while IFS= read -r name; do
  case "$name" in '' | '#'*) continue ;; esac
  write_table "$name"
  count=$((count + 1))
done <"$here/tables.txt"

# The release list, as the maker publishes it, last: it lists the tree as it is now.
pki="${KANVEL_MIRROR_DIR:-$build_dir/mirror}/tls"
"$here/../tls/make-test-pki.sh" "$pki"
version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$here/../../CMakeLists.txt")
"$here/../release-list.sh" "$root" "$version" "$pki/signing.crt" "$pki/signing.key" >/dev/null

chmod -R a+rX "$root"
echo "make-tree: $root: ${#programs[@]} programs, setup, $count tables, release list $version"
