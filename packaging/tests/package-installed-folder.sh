#!/usr/bin/env bash
# The install rules and the package step from an installed folder, with this (simulated)
# build's install as the folder:
#   1. cmake --install lays out the custom directory exactly as the ZIP does, and INSTALL.md
#      and brevin.dll's version resource name the simulated build;
#   2. the package step refuses the folder, whose brevin.dll imports the simulated NX;
#   3. accepted for the test, it makes a ZIP of that same layout and an MSI.
# Usage: package-installed-folder.sh BUILD_DIR SOURCE_DIR CONFIG VERSION
set -euo pipefail
build=$1 source=$2 config=$3 version=$4
work="$build/installed-folder-test"
rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }

folder="$work/installed"
cmake --install "$build" --config "$config" --component nx --prefix "$folder" >"$work/install.log"
(cd "$folder" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed.txt"
diff -u "$source/packaging/tests/expected-layout.txt" "$work/installed.txt" ||
  fail "the installed folder's layout is not the ZIP's"
grep -q "^\*\*Which build this is:\*\* the simulated build" "$folder/INSTALL.md" ||
  fail "INSTALL.md does not say it holds the simulated build"
strings -el "$folder/startup/brevin.dll" | grep -q "simulated NX build, not for NX" ||
  fail "brevin.dll's version resource does not name the simulated build"

status=0
cmake -DFOLDER="$folder" -DVERSION="$version" -DOUTPUT_DIR="$work/dist" \
  -P "$source/packaging/PackageFolder.cmake" >"$work/refused.log" 2>&1 || status=$?
[ $status -ne 0 ] && grep -q "imports the simulated NX (libnxsim.dll)" "$work/refused.log" ||
  { cat "$work/refused.log"; fail "a folder bound to the simulated NX was packaged"; }
[ ! -e "$work/dist/synquo-nx-$version-win64.zip" ] || fail "the refused folder left a ZIP"
grep "imports the simulated NX" "$work/refused.log"

cmake -DFOLDER="$folder" -DVERSION="$version" -DOUTPUT_DIR="$work/dist" -DACCEPT_SIMULATED=ON \
  -P "$source/packaging/PackageFolder.cmake" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "the package step"; }
unzip -Z1 "$work/dist/synquo-nx-$version-win64.zip" | grep -v '/$' | LC_ALL=C sort >"$work/listing.txt"
diff -u "$source/packaging/tests/expected-layout.txt" "$work/listing.txt" || fail "the ZIP's layout"
[ -s "$work/dist/synquo-nx-$version-win64.msi" ] || fail "no MSI"
echo "installed folder packaged: ZIP of the custom directory's layout and an MSI"
