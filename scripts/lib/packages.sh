# shellcheck shell=bash
# Sourced by the project's scripts: installs the Debian packages that a
# script needs and the machine lacks, so that every script can be run on a
# fresh machine as it is, and makes Debian's source packages fetchable for
# the libraries cross-built for Windows. Written once here so that each
# script only names its packages.
#
#   source "$(dirname "$0")/lib/packages.sh"
#   install_missing_packages cmake ninja-build ...
#   enable_source_packages qt6-base=6.4.2+dfsg-10
#
# Packages already present are left alone, and apt-get runs only when
# something is missing. What it installs is named on stderr, and apt-get's
# own output goes there too: some callers print a result on stdout. Uses sudo
# when not run as root. Scripts started side by side (CI builds Qt and the
# databases for Windows at once) take turns at apt, which refuses a second
# caller.

packages_lock=${TMPDIR:-/tmp}/kelvry-packages.lock

install_missing_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}" >&2
  local as_root=()
  [[ $(id -u) -eq 0 ]] || as_root=(sudo)
  (
    flock 8
    "${as_root[@]}" apt-get update -qq
    # sudo clears the environment: the frontend is set inside it.
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}"
  ) 8>>"$packages_lock" >&2
}

# `apt-get source` needs a deb-src entry: adds one beside each Debian deb
# entry this machine already has (deb822 files and the one-line list alike)
# unless the given source packages (NAME=VERSION) can be fetched already.
# Needs root.
enable_source_packages() {
  if apt-get source --print-uris "$@" >/dev/null 2>&1; then return; fi
  (
    flock 8
    # A script beside this one may have added them meanwhile.
    if apt-get source --print-uris "$@" >/dev/null 2>&1; then exit 0; fi
    local out=/etc/apt/sources.list.d/kelvry-deb-src f
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
    apt-get update -qq >&2
  ) 8>>"$packages_lock"
}
