#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package velcor_<version>_<arch>.deb: a Release build of the program
# in build/package of its own, made for /usr, then CPack's Debian generator. Prints the
# package's path on standard output (everything else goes to standard error).
#   scripts/package.sh && sudo apt install ./build/package/velcor_*.deb
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/scripts/packages.sh"
"$here/scripts/ensure-packages.sh" "${VELCOR_BUILD_PACKAGES[@]}" "${VELCOR_PACKAGE_PACKAGES[@]}" >&2
cd "$here"

build=build/package
[ -f "$build/build.ninja" ] ||
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DVELCOR_BUILD_TESTS=OFF -DVELCOR_BUILD_BENCH=OFF >&2
# The program and the compressed manual page are all the package needs of the build.
cmake --build "$build" --target velcor velcor_man >&2
rm -f "$build"/velcor_*.deb
(cd "$build" && cpack -G DEB) >"$build/cpack.log" 2>&1 || { cat "$build/cpack.log" >&2; exit 1; }
deb="$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$build/cpack.log")"
[ -f "$deb" ] || { cat "$build/cpack.log" >&2; echo "cpack made no package" >&2; exit 1; }
echo "$deb"
