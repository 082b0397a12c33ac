# shellcheck shell=bash
# Sourced by the Windows build scripts: puts the DLLs of a cross-built
# library (SQLite, libpq) beside each program of a build folder that imports
# them, as they ship, so that Wine, and CTest through it, finds them where
# Windows would: a test run needs no search path set.
#
#   source scripts/lib/windows-dlls.sh
#   place_imported_dlls BUILD_FOLDER DLL_FOLDER

place_imported_dlls() {
  local build=$1 dlls=$2 program
  while IFS= read -r program; do
    place_dlls_imported_by "$program" "$(dirname "$program")" "$dlls"
  done < <(find "$build" -path "$build/wineprefix" -prune -o -iname '*.exe' -print)
}

# place_dlls_imported_by BINARY FOLDER DLL_FOLDER: what BINARY imports from
# DLL_FOLDER, and what that imports in turn, copied into FOLDER. Imports name
# DLLs in any case (libpq's own says LIBPQ.dll), as Windows reads them.
place_dlls_imported_by() {
  local binary=$1 folder=$2 dlls=$3 import found
  for import in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\tDLL Name: //p'); do
    found=$(find "$dlls" -maxdepth 1 -iname "$import" -print -quit)
    [[ -n $found ]] || continue
    cmp -s "$found" "$folder/${found##*/}" && continue
    cp "$found" "$folder/"
    place_dlls_imported_by "$found" "$folder" "$dlls"
  done
}
