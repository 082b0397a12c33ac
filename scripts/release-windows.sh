#!/usr/bin/env bash
# Makes the Windows release in dist/, built on Linux:
#   kelvry-update-<version>-windows-x64.zip        the portable folder
#   kelvry-update-<version>-windows-x64-setup.exe  the per-user installer
#   SHA256SUMS
# The window ships with Qt's DLLs and plugins beside it (copied here: Qt's
# windeployqt for Linux cannot read Windows programs); the command line is
# one .exe that needs only Windows' own DLLs. SQLite's and libpq's DLLs
# (sqlite3.dll, libpq.dll) ship beside the programs for the records store.
# scripts/test-windows-release.sh tries both artifacts under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

source scripts/lib/packages.sh
install_missing_packages nsis zip

bash scripts/build-windows.sh --target kelvry-update-cli
source scripts/build-windows-qt.sh --env
bash scripts/build-windows-qt.sh

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
[[ -n $version ]] || { echo "no project version in build-windows/CMakeCache.txt" >&2; exit 1; }
qt_debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${qt_debian_version%%[+-]*}
sqlite_debian_version=$(dpkg-query -W -f='${source:Version}' libsqlite3-dev)
libpq_debian_version=$(dpkg-query -W -f='${source:Version}' libpq-dev)
libpq_source=$(dpkg-query -W -f='${source:Package}' libpq-dev)
name=kelvry-update-$version-windows-x64
dist=$repo/dist
stage=$dist/stage/$name
rm -rf "$dist"
mkdir -p "$stage"

strip_into() { x86_64-w64-mingw32-strip -o "$2" "$1"; }
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p'; }

# Where a DLL that is not Windows' own comes from: Qt's build, SQLite's and
# libpq's build or the compiler's runtime.
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
library_folders=("$qt_prefix/bin" "$db_prefix/bin" "$mingw_runtime" /usr/x86_64-w64-mingw32/lib)
find_library() {
  local folder
  for folder in "${library_folders[@]}"; do
    find "$folder" -maxdepth 1 -iname "$1" -print -quit
  done | head -n1
}

# Copies every DLL that a program or plugin needs, and what those need in
# turn, beside the programs; what is found nowhere here is Windows' own.
# Imports name DLLs in any case (libpq's own says LIBPQ.dll), as Windows
# reads them: each is copied once, under its own file name.
deploy_imports() {
  local dll found
  for dll in $(imports "$1"); do
    [[ -n $(find "$stage" -maxdepth 1 -iname "$dll" -print -quit) ]] && continue
    found=$(find_library "$dll")
    [[ -n $found ]] || continue
    strip_into "$found" "$stage/${found##*/}"
    deploy_imports "$stage/${found##*/}"
  done
}

strip_into build-windows/cli/kelvry-update-cli.exe "$stage/kelvry-update-cli.exe"
strip_into "$qt_build/ui/kelvry-update.exe" "$stage/kelvry-update.exe"
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
  mkdir -p "$stage/$(dirname "$plugin")"
  strip_into "$qt_prefix/plugins/$plugin" "$stage/$plugin"
done
for dll in sqlite3.dll libpq.dll; do strip_into "$db_prefix/bin/$dll" "$stage/$dll"; done
for program in "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll; do deploy_imports "$program"; done

# A readme and the licence texts, with Windows line ends.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
sed -e "s/@VERSION@/$version/g" -e "s/@QT_VERSION@/$qt_version/g" \
    -e "s/@QT_DEBIAN_VERSION@/$qt_debian_version/g" \
    -e "s/@SQLITE_DEBIAN_VERSION@/$sqlite_debian_version/g" \
    -e "s/@LIBPQ_SOURCE@/$libpq_source/g" -e "s/@LIBPQ_DEBIAN_VERSION@/$libpq_debian_version/g" packaging/windows/README.txt.in >"$dist/README.txt"
crlf "$dist/README.txt" "$stage/README.txt"
# The bench window from the zip, where no Start-menu entry leads to it.
printf '@start "" "%%~dp0kelvry-update.exe" --bench\r\n' >"$stage/Kelvry Bench.cmd"
mkdir -p "$stage/LICENSES"
crlf /usr/share/common-licenses/LGPL-3 "$stage/LICENSES/Qt-LGPL-3.0.txt"
crlf /usr/share/common-licenses/GPL-3 "$stage/LICENSES/GPL-3.0.txt"
crlf /usr/share/doc/libqt6core6/copyright "$stage/LICENSES/Qt-copyright.txt"
crlf /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/LICENSES/GCC-runtime-copyright.txt"
crlf /usr/share/doc/mingw-w64-common/copyright "$stage/LICENSES/mingw-w64-copyright.txt"
crlf "$db_prefix/share/licenses/sqlite3/copyright" "$stage/LICENSES/SQLite-copyright.txt"
crlf "$db_prefix/share/licenses/$libpq_source/copyright" "$stage/LICENSES/PostgreSQL-copyright.txt"
rm "$dist/README.txt"

(cd "$dist/stage" && zip -q -r -9 -X "$dist/$name.zip" "$name")

# The installer installs and removes exactly the staged files.
windows_path() { tr / '\\' <<<"$1"; }
files=$dist/stage/files.nsh
unfiles=$dist/stage/unfiles.nsh
: >"$files"
: >"$unfiles"
while IFS= read -r dir; do
  echo "SetOutPath \"\$INSTDIR$(windows_path "${dir#.}")\"" >>"$files"
  find "$stage/$dir" -maxdepth 1 -type f -printf '%f\n' | sort | while IFS= read -r file; do
    echo "File \"$stage/$dir/$file\"" >>"$files"
    echo "Delete \"\$INSTDIR$(windows_path "${dir#.}/$file")\"" >>"$unfiles"
  done
done < <(cd "$stage" && find . -type d | sort)
(cd "$stage" && find . -mindepth 1 -type d | sort -r) | while IFS= read -r dir; do
  echo "RMDir \"\$INSTDIR$(windows_path "${dir#.}")\"" >>"$unfiles"
done
makensis -V2 -DVERSION="$version" -DICON="$repo/packaging/windows/kelvry-update.ico" \
  -DFILES="$files" -DUNFILES="$unfiles" -DOUTFILE="$dist/$name-setup.exe" packaging/windows/installer.nsi

(cd "$dist" && sha256sum "$name.zip" "$name-setup.exe" >SHA256SUMS)
rm -rf "$dist/stage"
echo "Windows release $version in dist/:"
(cd "$dist" && ls -l "$name.zip" "$name-setup.exe" SHA256SUMS)
