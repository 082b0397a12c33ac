#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and package
# (CLI11 parses the command line, nlohmann-json writes its JSON lines,
# libssl-dev's libcrypto hashes the images for a bench's case report,
# help2man writes the manual pages, CPack's DEB generator uses file to find
# the programs, lintian checks the package, ccache keeps unchanged objects
# between builds).
# Idempotent: packages already present are left alone, and apt-get runs
# only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libcli11-dev nlohmann-json3-dev libssl-dev
  # The records store: SQLite on a bench, libpq for a department's server,
  # and a PostgreSQL server for the store's tests.
  libsqlite3-dev libpq-dev postgresql
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  # The desktop tests and the README's pictures: an X server, a window
  # manager, keyboard and window control, window facts, screen capture.
  xvfb openbox xdotool wmctrl x11-utils imagemagick
  help2man file lintian
  # The Windows builds: mingw-w64 with POSIX threads, Wine to run them, the
  # tools that unpack Debian's Qt source for the cross-built Qt, and what
  # makes and tries the zip and the installer.
  g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev xz-utils perl nsis zip unzip
)

source "$(dirname "$0")/lib/packages.sh"
install_missing_packages "${packages[@]}"
