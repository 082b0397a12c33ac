#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's mingw-w64 into
# build-windows/: kelvry-update-cli.exe (its C++ runtime linked in, SQLite's
# and libpq's DLLs beside it) and the unit tests that need no window. Installs what is missing first (mingw-w64 with POSIX threads,
# Wine to run the tests and the build-time image generator, GoogleTest's
# sources). SQLite and libpq for Windows come from the machine's cache
# (scripts/windows-db-libs.sh builds them there once); their DLLs are put
# beside each program that imports them. Needs root for the packages on a
# fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/lib/packages.sh
source scripts/lib/windows-dlls.sh
install_missing_packages g++-mingw-w64-x86-64-posix wine64 wine googletest cmake ninja-build ccache

db_prefix=$(bash scripts/windows-db-libs.sh)

build=build-windows
# Wine keeps its own Windows installation in the build folder, quiet.
export WINEPREFIX=${WINEPREFIX:-$PWD/$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
mkdir -p "$build"

# The Windows installation is made once, before the build's parallel steps
# start Wine: two of them making it at the same time can fail.
[[ -f $WINEPREFIX/system.reg ]] || { wineboot --init >/dev/null 2>&1; wineserver -w; }

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PREFIX_PATH="$db_prefix" \
  -DCMAKE_BUILD_TYPE=Release \
  -DKELVRY_BUILD_UI=OFF -DKELVRY_BUILD_BENCH=OFF \
  -DKELVRY_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$build" -j"${JOBS:-$(nproc)}" "$@"
place_imported_dlls "$build" "$db_prefix/bin"
