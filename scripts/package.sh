#!/usr/bin/env bash
# Builds the Debian package build-deb/vultar_VERSION_ARCH.deb: an optimised build with
# Debian's hardening flags, installed under /usr and packed by CPack. When lintian is
# installed its findings on the package are printed at the end.
#
# Install it with: apt install ./build-deb/vultar_*.deb   (remove with: apt remove vultar)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DVULTAR_TESTS=OFF \
      -DCMAKE_INSTALL_PREFIX=/usr -DVULTAR_GAME_BINDIR=games \
      -DCMAKE_C_FLAGS="$cppflags $(dpkg-buildflags --get CFLAGS)" \
      -DCMAKE_CXX_FLAGS="$cppflags $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-deb
(cd build-deb && cpack -G DEB)

deb=$(ls build-deb/vultar_*.deb)
echo "Package: $deb"
if command -v lintian >/dev/null; then
    lintian --info "$deb" || true
fi
