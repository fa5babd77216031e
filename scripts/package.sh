#!/usr/bin/env bash
# Builds the Debian package k400gw_VERSION_ARCH.deb in build-pkg/ (a Release
# build with Debian's hardening flags, stripped), then runs lintian on it.
#   scripts/package.sh               build and check
#   K400_LINTIAN=0 scripts/package.sh  skip lintian
# Install it with: sudo apt-get install ./build-pkg/k400gw_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

K400_PACKAGE=1 scripts/install-deps.sh
build=build-pkg
umask 022  # the package's files and folders must not be group-writable

# The flags Debian builds its own packages with: fortified sources, stack
# protector, read-only relocations, immediate binding; --as-needed keeps
# dependencies on libraries the programs do not call out of the package.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CPPFLAGS=$(dpkg-buildflags --get CPPFLAGS)
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $CPPFLAGS"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,--as-needed"
export CXXFLAGS LDFLAGS
# The man page dates and the changelog follow the last commit, not the clock.
if [[ -z "${SOURCE_DATE_EPOCH:-}" ]] && git rev-parse --git-dir >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi

# Release without its -O3: the optimisation level is dpkg-buildflags' -O2, as
# for Debian's own packages (GCC 12 also warns falsely about string copies at -O3).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_STRIP="$PWD/packaging/strip.sh" \
    -DK400_BUILD_TESTS=OFF -DK400_BUILD_BENCH=OFF -DK400_DOCS=ON >/dev/null
cmake --build "$build" -j2
rm -f "$build"/k400gw_*.deb
(cd "$build" && cpack -G DEB >/dev/null)

deb=$(ls "$build"/k400gw_*.deb)
echo "Package: $deb ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

if [[ "${K400_LINTIAN:-1}" != 0 ]]; then
    echo "== lintian =="
    # Errors fail the script; warnings and information are listed.
    lintian --info --display-info --fail-on error "$deb"
fi
