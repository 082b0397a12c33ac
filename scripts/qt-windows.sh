#!/usr/bin/env bash
# Qt 6 for Windows (mingw-w64), cross-built from Debian's own qt6-base source
# package: Debian ships no Qt for Windows. Lean: Core, Gui, Widgets, Test and
# the Windows and offscreen platform plugins, as shared libraries (the
# window ships Qt as DLLs beside the program).
#
# Built once per machine into a cache folder outside the checkout whose name
# carries a hash of the recipe (the functions that fetch, configure, build and
# install Qt, as bash reads them: comments and the rest of this script do not
# count), the Qt source version and the compiler version, so that a change to
# any of them builds anew and nothing else does.
# Cache root: KELVRY_QT_CACHE, else /work/.cache, else ~/.cache.
#
#   bash scripts/qt-windows.sh           # build if missing; print the Qt prefix
#   bash scripts/qt-windows.sh --prefix  # print the prefix it would use, build nothing
#
# Progress goes to stderr; the one line on stdout is the prefix. Needs root on
# a machine without the packages or a deb-src entry.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
jobs=${JOBS:-$(nproc)}

source "$here/lib/packages.sh"

say() { echo "qt-windows: $*" >&2; }

# The host's Qt tools (moc, uic, rcc) serve the cross build, so the source must
# be the very version the host has.
qt_version() { dpkg-query -W -f='${Version}' qt6-base-dev; }

cache_dir() {
  local root=${KELVRY_QT_CACHE:-}
  if [[ -z $root ]]; then
    if [[ -d /work && -w /work ]]; then root=/work/.cache; else root=$HOME/.cache; fi
  fi
  local key
  key=$( { declare -f "${recipe[@]}"; qt_version; x86_64-w64-mingw32-g++-posix --version | head -n1; } |
         sha256sum | cut -c1-16)
  echo "$root/qt6-mingw-$key"
}

fetch_source() {
  local dir=$1
  [[ -f $dir/src/.unpacked ]] && return
  mkdir -p "$dir/download"
  (cd "$dir/download" && apt-get source --download-only "qt6-base=$(qt_version)" >&2)
  # Upstream's source as Debian ships it; Debian's own packaging patches
  # target the Linux build and are left out.
  rm -rf "$dir/src"
  dpkg-source -x --skip-patches "$dir"/download/qt6-base_*.dsc "$dir/src" >/dev/null
  touch "$dir/src/.unpacked"
}

# Qt's own toolchain file chain-loads this one; it lives in the cache folder so
# that a change to the project's toolchain file never invalidates a built Qt.
write_toolchain() {
  cat >"$1/toolchain.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# What the window and its tests do not use is left out. Debian's repacked
# source lacks the wintab headers, so tablet events are off; with OpenGL off,
# dynamic GL must be off too or the Windows platform plugin does not compile.
# Direct2D stays on: the platform plugin's DirectWrite font database is only
# built with it. ccache keeps the objects for a rebuild after a change here,
# with paths taken relative to the cache folder.
configure() {
  local dir=$1
  cmake -S "$dir/src" -B "$dir/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$dir/toolchain.cmake" \
    -DCMAKE_C_COMPILER_LAUNCHER="env;CCACHE_BASEDIR=$dir;ccache" \
    -DCMAKE_CXX_COMPILER_LAUNCHER="env;CCACHE_BASEDIR=$dir;ccache" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$dir/qt" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
    -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF >&2
}

build() {
  local dir=$1 started=$SECONDS
  mkdir -p "$dir"
  enable_source_packages "qt6-base=$(qt_version)"
  fetch_source "$dir"
  write_toolchain "$dir"
  [[ -f $dir/build/build.ninja ]] || configure "$dir"
  nice -n "${KELVRY_QT_NICE:-10}" cmake --build "$dir/build" -j"$jobs" >&2
  cmake --install "$dir/build" >/dev/null
  echo "$((SECONDS - started))" >"$dir/build-seconds"
  # The build tree and the sources are only needed to build again.
  rm -rf "$dir/build" "$dir/src" "$dir/download"
  touch "$dir/.complete"
  say "built in $(( (SECONDS - started) / 60 )) min: $dir/qt"
}

# What shapes the built Qt, and so names its cache folder.
recipe=(fetch_source write_toolchain configure build)

install_missing_packages g++-mingw-w64-x86-64-posix cmake ninja-build perl dpkg-dev \
  qt6-base-dev qt6-base-dev-tools xz-utils ccache
dir=$(cache_dir)
if [[ ${1:-} == --prefix ]]; then echo "$dir/qt"; exit 0; fi
# One build at a time per cache folder; a second caller waits and then finds it.
mkdir -p "$(dirname "$dir")"
exec 9>"$dir.lock"
flock 9
if [[ -f $dir/.complete ]]; then
  say "cached: $dir/qt"
else
  build "$dir"
fi
echo "$dir/qt"
