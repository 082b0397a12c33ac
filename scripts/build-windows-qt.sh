#!/usr/bin/env bash
# Cross-builds the window for Windows into build-windows-qt/: kelvry-update.exe
# and its offscreen tests, against Qt 6 for Windows from the machine's cache
# (scripts/qt-windows.sh builds it there once, from Debian's own source), and
# SQLite and libpq for Windows from the same cache (scripts/windows-db-libs.sh),
# whose DLLs are put beside each program that imports them.
# The command line and the other unit tests are scripts/build-windows.sh's.
#
#   bash scripts/build-windows-qt.sh          # build
#   source scripts/build-windows-qt.sh --env  # only set the variables below
#
# Sets, for the scripts that source it: qt_prefix, db_prefix (SQLite's and
# libpq's), qt_build (the build folder), and WINEPATH/QT_PLUGIN_PATH so that
# Wine finds Qt's, the databases' and mingw's DLLs when it runs what was
# built here; WINEPREFIX is the one Wine installation of the Windows builds
# (build-windows/wineprefix).
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
qt_build=$repo/build-windows-qt

qt_prefix=$(bash "$repo/scripts/qt-windows.sh")
db_prefix=$(bash "$repo/scripts/windows-db-libs.sh")
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$qt_prefix/bin;$db_prefix/bin;$mingw_runtime;/usr/x86_64-w64-mingw32/lib"
export QT_PLUGIN_PATH=$qt_prefix/plugins
export WINEPREFIX=${WINEPREFIX:-$repo/build-windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
if [[ ${1:-} == --env ]]; then return 0 2>/dev/null || exit 0; fi

# The build runs its image generator under Wine: the Windows installation is
# made before the build's parallel steps could each try to make it.
mkdir -p "$WINEPREFIX"
[[ -f $WINEPREFIX/system.reg ]] || { wineboot --init >/dev/null 2>&1; wineserver -w; }
cmake -S "$repo" -B "$qt_build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$db_prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DKELVRY_BUILD_BENCH=OFF \
  -DKELVRY_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$qt_build" -j"${JOBS:-$(nproc)}" --target kelvry-update kelvry-update-ansi kelvry_ui_tests
source "$repo/scripts/lib/windows-dlls.sh"
place_imported_dlls "$qt_build" "$db_prefix/bin"
