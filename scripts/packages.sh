# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages the game needs to build and run, and those the tests add.
# Sourced by play.sh, test.sh and scripts/fuzz.sh.
VELCOR_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev qt6-charts-dev libqt6opengl6-dev fonts-ipafont-gothic
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n qt6-websockets-dev)
# The package checks use desktop-file-validate, appstreamcli, man and groff, and CPack's
# Debian generator needs dpkg-shlibdeps (dpkg-dev) and file; the accessibility test reads
# the window's tree with pyatspi over at-spi2-core's bus, on a session bus of its own (dbus).
VELCOR_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth xdotool imagemagick
  desktop-file-utils appstream man-db groff-base dpkg-dev file python3-pyatspi at-spi2-core dbus)
# What scripts/package.sh needs beside the build packages: dpkg-shlibdeps and file
# for CPack's Debian generator.
VELCOR_PACKAGE_PACKAGES=(dpkg-dev file)
# What scripts/fuzz.sh needs on its own (clang and its libFuzzer runtime).
VELCOR_FUZZ_PACKAGES=(cmake ninja-build clang libclang-rt-14-dev)
# The game in a browser (scripts/web.sh): Debian's emscripten, with node for its tools.
VELCOR_WEB_PACKAGES=(emscripten cmake ninja-build nodejs)
# The browser tests: Debian's chromium, driven from node (the driver comes from npm).
VELCOR_WEB_TEST_PACKAGES=(chromium)
