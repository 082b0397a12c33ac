#!/usr/bin/env bash
# Proves the desktop window on Windows without a Windows machine: cross-builds
# Qt 6 for mingw-w64 from Debian's own qt6-base source package (Debian ships
# no Qt for mingw), builds kelvry-update.exe and its window tests with it, and
# runs those tests offscreen under Wine.
#
# Qt is built once into a cache folder outside the tree (KELVRY_QT_CACHE,
# default /work/.cache/qt6-mingw, else ~/.cache/qt6-mingw); that takes about
# 35 minutes on two cores, so it runs at the lowest CPU priority. Not part of
# CI. Needs root for the packages and the deb-src entry.
#
#   bash scripts/build-windows-qt.sh            # Qt (once), the window, its tests
#   bash scripts/build-windows-qt.sh --qt-only  # just the Qt cross-build
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

default_cache=/work/.cache/qt6-mingw
[[ -d /work && -w /work ]] || default_cache=$HOME/.cache/qt6-mingw
cache=${KELVRY_QT_CACHE:-$default_cache}
qt_prefix=$cache/qt
build_dir=$repo/build-windows-qt
jobs=${JOBS:-2}
test_timeout=${KELVRY_WINE_TEST_TIMEOUT:-300}

packages=(g++-mingw-w64-x86-64-posix wine64 wine cmake ninja-build perl dpkg-dev
          qt6-base-dev qt6-base-dev-tools googletest xz-utils)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# `apt-get source` needs a deb-src entry; add one beside each Debian deb entry
# this machine already has (deb822 files and the one-line list alike).
ensure_deb_src() {
  if apt-get source --print-uris qt6-base >/dev/null 2>&1; then return; fi
  local out=/etc/apt/sources.list.d/kelvry-deb-src
  : >"$out.sources.new"
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f && $f != "$out.sources" ]] || continue
    grep -q 'debian' "$f" || continue
    sed 's/^Types:.*/Types: deb-src/' "$f" >>"$out.sources.new"
    echo >>"$out.sources.new"
  done
  mv "$out.sources.new" "$out.sources"
  if [[ -f /etc/apt/sources.list ]]; then
    grep -E '^deb [^#]*debian' /etc/apt/sources.list | sed 's/^deb /deb-src /' >"$out.list" || true
  fi
  apt-get update -qq
}

fetch_qt_source() {
  [[ -f $cache/src/.unpacked ]] && return
  mkdir -p "$cache"
  (cd "$cache" && rm -rf src && apt-get source --download-only qt6-base)
  # Upstream's source as Debian ships it; Debian's own packaging patches
  # target the Linux build and are left out.
  (cd "$cache" && dpkg-source -x --skip-patches qt6-base_*.dsc src >/dev/null)
  touch "$cache/src/.unpacked"
}

# Debian's repacked source lacks the wintab headers, so tablet events are
# switched off; the Windows platform plugin includes an OpenGL header without
# asking whether OpenGL is built.
configure_qt() {
  cmake -S "$cache/src" -B "$cache/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF \
    -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF -DFEATURE_xml=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_tabletevent=OFF
}

build_qt() {
  [[ -f $qt_prefix/.complete ]] && { echo "Qt for mingw: $qt_prefix (cached)"; return; }
  fetch_qt_source
  [[ -f $cache/build/build.ninja ]] || configure_qt
  nice -n 19 cmake --build "$cache/build" -j"$jobs"
  cmake --install "$cache/build" >/dev/null
  touch "$qt_prefix/.complete"
}

install_missing
ensure_deb_src
build_qt
[[ ${1:-} == --qt-only ]] && exit 0

# Wine finds Qt's DLLs and mingw's runtime DLLs through WINEPATH; the build
# runs its image generator through it too.
export WINEPREFIX=$build_dir/wineprefix
export WINEDEBUG=-all
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$qt_prefix/bin;$mingw_runtime;/usr/x86_64-w64-mingw32/lib"
export QT_PLUGIN_PATH=$qt_prefix/plugins

# The Windows installation is made once, before the build's parallel steps
# start Wine: two of them making it at the same time can fail.
[[ -f $WINEPREFIX/system.reg ]] || { wineboot --init >/dev/null 2>&1; wineserver -w; }

# The window and its tests, built against the cross-built Qt. Only these two
# targets: the rest is what scripts/build-windows.sh builds.
mkdir -p "$build_dir"
cmake -S . -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_BUILD_TYPE=Release \
  -DKELVRY_BUILD_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$build_dir" -j"$jobs" --target kelvry-update kelvry_ui_tests

# The window's tests, offscreen, once, bounded: a windowed test program was
# once seen not to exit under Wine.
status=0
QT_QPA_PLATFORM=offscreen timeout --kill-after=10 "$test_timeout" \
  wine "$build_dir/tests/ui/kelvry_ui_tests.exe" >"$build_dir/ui-tests.log" 2>&1 || status=$?
sed -i 's/\r$//' "$build_dir/ui-tests.log"
grep -E '^\[  (PASSED|FAILED)  \]|tests? from .* ran' "$build_dir/ui-tests.log" || true
echo "window tests under Wine: exit status $status (124: timed out); log: $build_dir/ui-tests.log"

# The program itself starts and keeps running (offscreen) until it is ended.
QT_QPA_PLATFORM=offscreen timeout 15 wine "$build_dir/ui/kelvry-update.exe" >/dev/null 2>&1 && started=no || started=$?
if [[ $started == 124 ]]; then
  echo "kelvry-update.exe ran until it was ended"
else
  echo "kelvry-update.exe ended by itself (status $started)"
fi
exit "$status"
