#!/usr/bin/env bash
# SQLite and libpq for Windows (mingw-w64), cross-built from Debian's own
# source packages: Debian ships neither for Windows. Each is the very version
# the host's development package has (libsqlite3-dev, libpq-dev), so that the
# records store meets the same library on Linux and on Windows. Both are DLLs
# that ship beside the programs.
#
# The prefix is laid out as CMake's FindSQLite3 and FindPostgreSQL look for
# it through CMAKE_PREFIX_PATH:
#   bin/                  sqlite3.dll libpq.dll
#   lib/                  libsqlite3.dll.a libpq.dll.a (import libraries)
#   include/              sqlite3.h sqlite3ext.h libpq-fe.h libpq-events.h
#                         postgres_ext.h pg_config_ext.h
#   share/licenses/NAME/  copyright (Debian's, of each source package)
#
# Built once per machine into a cache folder outside the checkout whose name
# carries a hash of the recipe (the functions below that fetch, configure and
# build, as bash reads them: comments do not count), both source versions and
# the compiler version, so that a change to any of them builds anew and
# nothing else does. Cache root as for Qt: KELVRY_QT_CACHE, else /work/.cache,
# else ~/.cache.
#
#   bash scripts/windows-db-libs.sh           # build if missing; print the prefix
#   bash scripts/windows-db-libs.sh --prefix  # print the prefix it would use, build nothing
#
# Progress goes to stderr; the one line on stdout is the prefix. Needs root on
# a machine without the packages or a deb-src entry.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
jobs=${JOBS:-$(nproc)}

source "$here/lib/packages.sh"

say() { echo "windows-db-libs: $*" >&2; }

# NAME=VERSION of the source package that built a host package.
source_of() { dpkg-query -W -f='${source:Package}=${source:Version}' "$1"; }

cache_dir() {
  local root=${KELVRY_QT_CACHE:-}
  if [[ -z $root ]]; then
    if [[ -d /work && -w /work ]]; then root=/work/.cache; else root=$HOME/.cache; fi
  fi
  local key
  key=$( { declare -f "${recipe[@]}"; echo "$sqlite $libpq"; x86_64-w64-mingw32-gcc-posix --version | head -n1; } |
         sha256sum | cut -c1-16)
  echo "$root/db-mingw-$key"
}

# fetch_source DIR NAME=VERSION [dpkg-source options]: unpacks the source
# package into DIR/src/NAME.
fetch_source() {
  local dir=$1 spec=$2
  shift 2
  local name=${spec%%=*} version=${spec#*=}
  [[ -f $dir/src/$name/.unpacked ]] && return
  mkdir -p "$dir/download"
  (cd "$dir/download" && apt-get source --download-only "$spec" >&2)
  rm -rf "$dir/src/$name"
  mkdir -p "$dir/src"
  dpkg-source -x "$@" "$dir/download/${name}_${version#*:}.dsc" "$dir/src/$name" >/dev/null
  touch "$dir/src/$name/.unpacked"
}

# SQLite's build makes the amalgamation (the one file sqlite3.c) with tools it
# compiles for the host and with tclsh; that one file is then compiled alone
# for Windows, with the features Debian's libsqlite3 has. Debian's patches are
# upstream's fixes and stay in. Only the API is exported; libgcc is linked in,
# so the DLL needs Windows' own DLLs alone.
build_sqlite() {
  local dir=$1 out=$1/build/sqlite3
  mkdir -p "$out"
  (cd "$out" && "$dir/src/sqlite3/configure" --quiet --disable-tcl --disable-readline >&2)
  make -C "$out" -j"$jobs" sqlite3.c >&2
  x86_64-w64-mingw32-gcc-posix -O2 -fno-strict-aliasing -shared -static-libgcc \
    -DSQLITE_API='__declspec(dllexport)' -DSQLITE_THREADSAFE=1 \
    -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA \
    -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5 \
    -DSQLITE_ENABLE_RTREE=1 -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ENABLE_UNLOCK_NOTIFY \
    -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_LIKE_DOESNT_MATCH_BLOBS \
    -DSQLITE_ENABLE_PREUPDATE_HOOK -DSQLITE_ENABLE_SESSION -DSQLITE_ENABLE_STMTVTAB \
    -DSQLITE_MAX_VARIABLE_NUMBER=250000 \
    "$out/sqlite3.c" -o "$dir/prefix/bin/sqlite3.dll" \
    -Wl,--out-implib,"$dir/prefix/lib/libsqlite3.dll.a"
  cp "$out/sqlite3.h" "$out/sqlite3ext.h" "$dir/prefix/include/"
}

# Only the client library and what it needs (the port and common helpers and
# the generated headers), from upstream's source as Debian ships it: Debian's
# own patches set Linux paths and are left out. Without TLS: OpenSSL's own
# cross build (some 1,600 compiles) takes longer than both libraries together,
# so a server that demands TLS is not reached from Windows yet. Without
# readline, zlib and ICU too; libpq brings its own Windows threads, so it
# needs Windows' own DLLs alone. The headers are those a client includes;
# pg_config.h is not one, so FindPostgreSQL finds libpq without a version
# (find_package(PostgreSQL) without one does not ask for it).
build_libpq() {
  local dir=$1 name=${libpq%%=*}
  local src=$1/src/$name out=$1/build/$name
  mkdir -p "$out"
  (cd "$out" && "$src/configure" --quiet --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix \
     --without-readline --without-zlib --without-icu >&2)
  make -C "$out/src/interfaces/libpq" -j"$jobs" >&2
  cp "$out/src/interfaces/libpq/libpq.dll" "$dir/prefix/bin/"
  cp "$out/src/interfaces/libpq/libpq.a" "$dir/prefix/lib/libpq.dll.a"
  cp "$src/src/interfaces/libpq/libpq-fe.h" "$src/src/interfaces/libpq/libpq-events.h" \
     "$src/src/include/postgres_ext.h" "$out/src/include/pg_config_ext.h" "$dir/prefix/include/"
}

build() {
  local dir=$1 started=$SECONDS step name
  mkdir -p "$dir/prefix/bin" "$dir/prefix/lib" "$dir/prefix/include"
  enable_source_packages "$sqlite" "$libpq"
  fetch_source "$dir" "$sqlite"
  fetch_source "$dir" "$libpq" --skip-patches
  step=$SECONDS
  build_sqlite "$dir"
  say "SQLite built in $((SECONDS - step)) s"
  step=$SECONDS
  build_libpq "$dir"
  say "libpq built in $((SECONDS - step)) s"
  for name in "${sqlite%%=*}" "${libpq%%=*}"; do
    mkdir -p "$dir/prefix/share/licenses/$name"
    cp "$dir/src/$name/debian/copyright" "$dir/prefix/share/licenses/$name/copyright"
  done
  echo "$((SECONDS - started))" >"$dir/build-seconds"
  # The build trees and the sources are only needed to build again.
  rm -rf "$dir/build" "$dir/src" "$dir/download"
  touch "$dir/.complete"
  say "built in $((SECONDS - started)) s: $dir/prefix"
}

# What shapes the built libraries, and so names their cache folder.
recipe=(fetch_source build_sqlite build_libpq build)

install_missing_packages g++-mingw-w64-x86-64-posix build-essential dpkg-dev xz-utils bzip2 perl tcl \
  libsqlite3-dev libpq-dev
sqlite=$(source_of libsqlite3-dev)
libpq=$(source_of libpq-dev)
dir=$(cache_dir)
if [[ ${1:-} == --prefix ]]; then echo "$dir/prefix"; exit 0; fi
# One build at a time per cache folder; a second caller waits and then finds it.
mkdir -p "$(dirname "$dir")"
exec 9>"$dir.lock"
flock 9
if [[ -f $dir/.complete ]]; then
  say "cached: $dir/prefix"
else
  build "$dir"
fi
echo "$dir/prefix"
