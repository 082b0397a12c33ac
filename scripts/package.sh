#!/usr/bin/env bash
# Builds the Release type without any test, makes the Debian package with
# CPack, checks it with lintian, then installs it, runs its programs and
# removes it again. CI runs it after the tests; installing needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

build=build-release
fail() {
  echo "package check failed: $*" >&2
  exit 1
}

echo "== release build without tests"
# Debian's hardening and optimisation flags, as a packager's build has them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DKELVRY_WARNINGS_AS_ERRORS=ON -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j"$(nproc)"
# No test framework was even looked for, and no test or benchmark was built.
grep -Eq '^(GTest|benchmark)_DIR:' "$build/CMakeCache.txt" && fail "the build looked for a test framework"
tests_built=$(find "$build" -type f \( -name '*_tests' -o -name 'kelvry_bench' \))
[[ -z $tests_built ]] || fail "tests were built: $tests_built"

echo "== package"
rm -f "$build"/kelvry-update_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/kelvry-update_*.deb)
[[ -f $deb ]] || fail "cpack made no package"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for file in \
  ./usr/bin/kelvry-update ./usr/bin/kelvry-update-cli ./usr/bin/kelvry-logger-sim \
  ./usr/share/applications/com.kelvry.FirmwareUpdate.desktop ./usr/share/applications/com.kelvry.Bench.desktop \
  ./usr/share/metainfo/com.kelvry.FirmwareUpdate.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/com.kelvry.FirmwareUpdate.svg \
  ./usr/share/icons/hicolor/48x48/apps/com.kelvry.FirmwareUpdate.png \
  ./usr/share/man/man1/kelvry-update-cli.1.gz ./usr/share/man/man1/kelvry-logger-sim.1.gz \
  ./usr/share/bash-completion/completions/kelvry-update-cli \
  ./lib/udev/rules.d/60-kelvry-logger.rules; do
  grep -qx -- "$file" <<<"$contents" || fail "$file is missing from the package"
done
dpkg-deb --field "$deb" Depends | grep -q libqt6core6 || fail "the package depends on no Qt library"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

echo "== lintian"
lintian --fail-on error,warning "$deb"

echo "== install, run, remove"
trap 'dpkg -r kelvry-update >/dev/null 2>&1 || true' EXIT
dpkg -i "$deb"
[[ $(kelvry-update-cli --version) == "kelvry-update-cli $version" ]] || fail "kelvry-update-cli --version"
[[ $(kelvry-update --version) == "kelvry-update $version" ]] || fail "kelvry-update --version"
[[ $(kelvry-logger-sim --version) == "kelvry-logger-sim $version" ]] || fail "kelvry-logger-sim --version"
kelvry-update-cli --simulate --yes | tail -n 1
dpkg -r kelvry-update
trap - EXIT
if command -v kelvry-update-cli >/dev/null; then fail "kelvry-update-cli is still there after dpkg -r"; fi
echo "package $deb built, checked, installed and removed"
