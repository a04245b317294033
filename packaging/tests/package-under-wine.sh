#!/usr/bin/env bash
# The add-in as a designer's PC receives it, played under wine in a fresh prefix that knows no
# path to the build tree or to the compiler's runtime, so a DLL missing from the package fails:
#   1. the ZIP's listing is the custom directory's layout;
#   2. unzipped into a folder whose path holds a space and a non-ASCII letter, with the
#      Torvane stand-in beside brevin.dll and the simulated NX on NX's side (brevin-sim and
#      libnxsim.dll, linked without runtime DLLs), the demo is played through the Synquo
#      button; with a runtime DLL taken away, the add-in cannot load;
#   3. the MSI installs quietly, registers the folder as NX's site directory, plays the demo
#      from there, and uninstalls leaving nothing of it behind.
# Usage: package-under-wine.sh BUILD_DIR SOURCE_DIR CONFIG VERSION [DIST_DIR]
# Without DIST_DIR the ZIP and the MSI are made from BUILD_DIR with the same install rules.
set -euo pipefail
build=$1 source=$2 config=$3 version=$4 dist=${5:-}
work="$build/package-test"
rm -rf "$work"
mkdir -p "$work"
name="synquo-nx-$version-win64"

step() { echo "== $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

if [ -n "$dist" ]; then
  zip="$dist/$name.zip" msi="$dist/$name.msi"
else
  step "Packaging the $config tree"
  (cd "$work" && cpack -G ZIP -C "$config" --config "$build/CPackConfig.cmake" -B "$work/cpack" >cpack.log) ||
    { cat "$work/cpack.log"; fail "cpack"; }
  zip="$work/cpack/$name.zip" msi="$work/$name.msi"
  cmake -DBUILD_DIR="$build" -DCONFIG="$config" -DVERSION="$version" -DOUTPUT="$msi" \
    -P "$source/packaging/BuildMsi.cmake" >"$work/msi.log" 2>&1 || { cat "$work/msi.log"; fail "BuildMsi"; }
fi
[ -f "$zip" ] || fail "no archive $zip"
[ -f "$msi" ] || fail "no installer $msi"

step "The archive's listing"
unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort >"$work/listing.txt"
diff -u "$source/packaging/tests/expected-layout.txt" "$work/listing.txt" || fail "the archive's layout"

nx="$work/nx"
mkdir -p "$nx"
cp "$build/bin/brevin-sim.exe" "$build/bin/sim-browser.exe" "$build/bin/libnxsim.dll" "$nx/"
torvane="$build/bin/torvane-windows-amd64.dll"
scenario="$work/demo.json"
cp "$source/sim/scenarios/demo.json" "$scenario"

step "A fresh wine prefix"
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
unset WINEPATH
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wineboot --init >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w

# Plays the demo through the button of the custom directory (a Windows path).
play_demo() {
  local dir=$1 log=$2 status=0
  wine "Z:$nx/brevin-sim.exe" --nx-custom-dir "$dir" --json "Z:$log.json" "Z:$scenario" \
    >"$log" 2>&1 || status=$?
  if [ $status -ne 0 ]; then
    tail -n 40 "$log"
    fail "the demo through $dir ended with $status"
  fi
  grep -q 'the button SYNQUO_BUTTON ("Synquo", synquo.bmp, in synquo.men) runs' "$log" ||
    fail "the demo did not press the Synquo button ($log)"
  grep -q "^Scenario passed." "$log" || fail "the demo did not pass ($log)"
}

step "The ZIP, unzipped where the path holds a space and a non-ASCII letter"
custom="$work/Synquo NX Zoë"
mkdir -p "$custom"
unzip -q "$zip" -d "$custom"
cp "$torvane" "$custom/startup/"
play_demo "Z:$custom" "$work/zip-demo.log"
echo "demo passed through $custom"

step "Without a runtime DLL of the folder, the button cannot load the add-in"
mv "$custom/startup/libstdc++-6.dll" "$work/"
status=0
wine "Z:$nx/brevin-sim.exe" --nx-custom-dir "Z:$custom" "Z:$scenario" >"$work/missing-dll.log" 2>&1 ||
  status=$?
[ $status -eq 3 ] && grep -q "Cannot load the add-in" "$work/missing-dll.log" ||
  fail "brevin-sim ended with $status without libstdc++-6.dll ($work/missing-dll.log)"
grep "Cannot load the add-in" "$work/missing-dll.log"

step "The MSI: install, demo, uninstall"
environment='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
wine msiexec /i "Z:$msi" /qn || fail "msiexec /i ended with $?"
installed="$WINEPREFIX/drive_c/Program Files/Synquo/NX"
[ -f "$installed/startup/brevin.dll" ] || fail "nothing installed in $installed"
site=$(wine reg query "$environment" /v UGII_SITE_DIR | tr -d '\r' | sed -n 's/.*UGII_SITE_DIR[[:space:]]*REG_SZ[[:space:]]*//p')
[ "$site" = 'C:\Program Files\Synquo\NX\' ] || fail "UGII_SITE_DIR is '$site'"
cp "$torvane" "$installed/startup/"
play_demo "$site" "$work/msi-demo.log"
echo "demo passed through $site"
rm "$installed/startup/torvane-windows-amd64.dll"
wine msiexec /x "Z:$msi" /qn || fail "msiexec /x ended with $?"
wineserver -w
if [ -e "$WINEPREFIX/drive_c/Program Files/Synquo" ]; then
  find "$WINEPREFIX/drive_c/Program Files/Synquo"
  fail "the uninstall left files behind"
fi
if wine reg query "$environment" /v UGII_SITE_DIR >/dev/null 2>&1; then
  fail "the uninstall left UGII_SITE_DIR behind"
fi
echo "uninstalled: nothing left in Program Files, UGII_SITE_DIR removed"
