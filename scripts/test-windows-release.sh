#!/usr/bin/env bash
# Tries the Windows release of dist/ (scripts/release-windows.sh) as a user
# would, under Wine in a Windows installation of its own that has nothing of
# the build: the zip unpacked and run from its folder, the imports of every
# program and DLL, the installer installed silently, the installed programs
# started, then removed without a trace. Ends with
# `windows release: N passed, N failed`.
set -uo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
source tests/desktop/x_session.sh

zip=$(ls dist/kelvry-update-*-windows-x64.zip 2>/dev/null | head -n1)
setup=$(ls dist/kelvry-update-*-windows-x64-setup.exe 2>/dev/null | head -n1)
[[ -f $zip && -f $setup && -f dist/SHA256SUMS ]] || { echo "no release in dist/: run scripts/release-windows.sh" >&2; exit 2; }
version=${zip#dist/kelvry-update-}
version=${version%-windows-x64.zip}

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  end_x_session
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

source scripts/checks.sh

run() {  # run PROGRAM ARGS...: output in $work/out, exit status in $status
  status=0
  timeout --kill-after=5 120 wine "$@" >"$work/out" 2>&1 || status=$?
  sed -i 's/\r$//' "$work/out"
}

echo "== checksums"
check "SHA256SUMS matches both artifacts" bash -c "cd dist && sha256sum --quiet -c SHA256SUMS"

echo "== a Windows installation of its own"
wineboot --init >/dev/null 2>&1
wineserver -w
system32=$WINEPREFIX/drive_c/windows/system32
start_x_session 1280x1024 "$work" || exit 1

echo "== the zip, unpacked and run from its folder"
unzip -q "$zip" -d "$work/unpacked"
folder=$work/unpacked/kelvry-update-$version-windows-x64
run "$folder/kelvry-update-cli.exe" --version
check "unpacked CLI --version says $version" grep -qx "kelvry-update-cli $version" "$work/out"
run "$folder/kelvry-update-cli.exe" --list-firmware
check "unpacked CLI --list-firmware lists the four images" test "$(grep -c '^Kelvry' "$work/out")" -eq 4
run "$folder/kelvry-update-cli.exe" --simulate --yes
check "unpacked CLI --simulate exits 0" test "$status" -eq 0
check "unpacked CLI --simulate ends with the success text" \
  test "$(tail -n1 "$work/out")" == "Update Kelvry V2.92 succesfully completed."

# Every DLL a program or a shipped DLL imports is in the folder or is one of
# Windows' own; the command line needs Windows' own plus the records store's
# two libraries, which ship beside it.
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p'; }
has_file() { [[ -n $(find "$1" -maxdepth 1 -iname "$2" -print -quit) ]]; }
# API sets (api-ms-win-*) are names the Windows loader resolves itself.
windows_own() { [[ ${1,,} == api-ms-win-* ]] || { has_file "$system32" "$1" && [[ ! $1 =~ ^(Qt6|lib) ]]; }; }
# The records store's DLLs, the only ones of the zip the CLI may import.
cli_own_dll() { [[ ${1,,} == sqlite3.dll || ${1,,} == libpq.dll ]]; }
only_windows_and_records_imports() {
  local dll bad=0
  for dll in $(imports "$1"); do windows_own "$dll" || cli_own_dll "$dll" || { echo "    $1 imports $dll"; bad=1; }; done
  return $bad
}
imports_found() {
  local dll bad=0
  for dll in $(imports "$1"); do
    has_file "$folder" "$dll" || windows_own "$dll" || { echo "    $(basename "$1") imports $dll"; bad=1; }
  done
  return $bad
}
check "the CLI imports Windows' own DLLs plus sqlite3.dll and libpq.dll" \
  only_windows_and_records_imports "$folder/kelvry-update-cli.exe"
check "the CLI imports both sqlite3.dll and libpq.dll, and both are beside it" bash -c \
  "$(declare -f imports has_file); for dll in sqlite3.dll libpq.dll; do
     imports '$folder/kelvry-update-cli.exe' | grep -qix \"\$dll\" && has_file '$folder' \"\$dll\" || exit 1; done"
check "the window imports Qt DLLs of the zip" bash -c "$(declare -f imports) ; imports '$folder/kelvry-update.exe' | grep -q '^Qt6Widgets.dll$'"
all_found=0
while IFS= read -r binary; do imports_found "$binary" || all_found=1; done < <(find "$folder" -iname '*.exe' -o -iname '*.dll')
check "every import of the window, its DLLs and plugins is in the zip or Windows' own" test $all_found -eq 0
check "the zip holds the readme and the Qt licence" test -f "$folder/README.txt" -a -f "$folder/LICENSES/Qt-LGPL-3.0.txt"
# The records store's libraries ship beside the programs, with their
# licences; that what they import is there is checked with every DLL above.
check "the zip holds SQLite's and libpq's DLLs beside the programs" test -f "$folder/sqlite3.dll" -a -f "$folder/libpq.dll"
check "the zip holds SQLite's and PostgreSQL's licences" \
  test -f "$folder/LICENSES/SQLite-copyright.txt" -a -f "$folder/LICENSES/PostgreSQL-copyright.txt"
check "the readme names SQLite and libpq" bash -c "grep -q '^- sqlite3.dll: ' '$folder/README.txt' && grep -q '^- libpq.dll: ' '$folder/README.txt'"
check "the readme names the install folder" grep -qF 'Programs\Kelvry Firmware Update' "$folder/README.txt"
# The version resource keeps its texts in UTF-16.
version_resource() {
  python3 - "$1" "$version" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
wanted = ["ProductVersion", sys.argv[2], "Kelvry Firmware Update", "CompanyName"]
sys.exit(0 if all(w.encode("utf-16-le") in data for w in wanted) else 1)
PY
}
for program in kelvry-update.exe kelvry-update-cli.exe; do
  check "$program carries version $version" version_resource "$folder/$program"
done

window_shows() { xdotool search --onlyvisible --name '^Kelvry Firmware Update$' >/dev/null 2>&1; }
start_window_once() {  # the window opens with the DLLs beside it, then is ended
  timeout 60 wine "$1" >"$work/window.log" 2>&1 &
  local pid=$! shown=1
  wait_for 45 window_shows && shown=0
  kill "$pid" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  wait "$pid" 2>/dev/null
  return $shown
}
check "the unpacked window opens" start_window_once "$folder/kelvry-update.exe"
bench_shows() { xdotool search --onlyvisible --name '^Kelvry Bench$' >/dev/null 2>&1; }
start_bench_once() {  # the zip's starter opens the bench window, which is then ended
  (cd "$folder" && timeout 60 wine cmd /c "Kelvry Bench.cmd" >"$work/bench.log" 2>&1) &
  local pid=$! shown=1
  wait_for 45 bench_shows && shown=0
  wineserver -k >/dev/null 2>&1
  wait "$pid" 2>/dev/null
  return $shown
}
check "the zip's Kelvry Bench.cmd opens the bench window" start_bench_once

echo "== the installer, silent, for this user only"
local_app_data=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')")
start_menu=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")/Microsoft/Windows/Start\ Menu/Programs
installed="$local_app_data/Programs/Kelvry Firmware Update"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\KelvryFirmwareUpdate'
run "$setup" /S
check "the installer exits 0" test "$status" -eq 0
check "the programs are under the user's programs folder" \
  test -f "$installed/kelvry-update.exe" -a -f "$installed/kelvry-update-cli.exe" -a -f "$installed/platforms/qwindows.dll"
check "SQLite's and libpq's DLLs are installed beside the programs" \
  test -f "$installed/sqlite3.dll" -a -f "$installed/libpq.dll"
check "the Start menu has the window" test -f "$start_menu/Kelvry Firmware Update.lnk"
check "the Start menu has the command prompt in the install folder" \
  test -f "$start_menu/Kelvry Firmware Update command line.lnk"
check "the Start menu has the bench" test -f "$start_menu/Kelvry Bench.lnk"
check "nothing went to Program Files" test ! -e "$WINEPREFIX/drive_c/Program Files/Kelvry Firmware Update"
wine reg query "$uninstall_key" /v DisplayVersion >"$work/reg" 2>&1
check "the uninstall entry names version $version" grep -q "$version" "$work/reg"
wine reg query "$uninstall_key" /v EstimatedSize >"$work/reg" 2>&1
check "the uninstall entry gives the size" grep -qE 'EstimatedSize +REG_DWORD +0x0*[1-9a-f]' "$work/reg"
run "$installed/kelvry-update-cli.exe" --version
check "the installed CLI runs" grep -qx "kelvry-update-cli $version" "$work/out"
check "the installed window opens" start_window_once "$installed/kelvry-update.exe"

echo "== uninstalled"
run "$installed/uninstall.exe" /S
# The uninstaller runs a copy of itself from the temporary folder and returns
# at once; the copy removes the folder.
check "no file is left" wait_for 60 test ! -e "$installed"
check "no Start-menu entry is left" test ! -e "$start_menu/Kelvry Firmware Update.lnk" \
  -a ! -e "$start_menu/Kelvry Firmware Update command line.lnk" -a ! -e "$start_menu/Kelvry Bench.lnk"
check "no uninstall entry is left" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"

checks_summary "windows release"
