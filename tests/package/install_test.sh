#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package of a build tree: CPack makes velcor_<version>_<arch>.deb with the
# libraries' packages among its dependencies; unpacked into a scratch root with
# dpkg -x it holds the program, its data, the desktop entry, icons, AppStream
# description, manual page and copyright file; and the unpacked program, run from a
# directory without data, plays a scenario from the data of its own root.
# Usage: install_test.sh BUILD_DIR VERSION SOURCE_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
version="$2"
source_dir="$(cd "$3" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps file appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/ensure-packages.sh installs the test packages)"
done

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/out/velcor_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(cd "$work/out" && ls ./*.deb)"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

# The control file: the libraries the program links, found by dpkg-shlibdeps, beside
# the packages no library names (Qt's platform plugins, a Japanese font).
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6websockets6 qt6-qpa-plugins fonts-ipafont-gothic; do
  [[ ", $depends," == *", $package"[\ ,]* || "$depends" == *"| $package"* ]] ||
    fail "Depends lacks $package"
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *qt6-translations-l10n* ]] ||
  fail "Recommends lacks qt6-translations-l10n (the stock dialogs' Japanese)"
[ "$(dpkg-deb -f "$deb" Package)" = velcor ] || fail "the package is not named velcor"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package is not in the section games"

root="$work/root"
dpkg -x "$deb" "$root"
for path in usr/bin/velcor usr/share/velcor/data/scenario1.txt usr/share/velcor/data/country3.txt \
            usr/share/applications/io.github.velcor.velcor.desktop \
            usr/share/metainfo/io.github.velcor.velcor.metainfo.xml \
            usr/share/icons/hicolor/16x16/apps/velcor.png usr/share/icons/hicolor/256x256/apps/velcor.png \
            usr/share/man/man6/velcor.6.gz usr/share/doc/velcor/copyright; do
  [ -s "$root/$path" ] || fail "the package has no /$path"
done
# Nothing outside /usr, nothing of the build tree, a stripped program.
[ "$(ls "$root")" = usr ] || fail "the package installs outside /usr: $(ls "$root")"
dpkg-deb -c "$deb" | grep -q -e '/tests/' -e 'bench' -e '\.a$' && fail "the package holds build or test files"
file "$root/usr/bin/velcor" | grep -q ', stripped' || fail "the program is not stripped: $(file "$root/usr/bin/velcor")"
head -n 1 "$root/usr/share/doc/velcor/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
# The AppStream description as installed: it names the installed desktop entry, whose
# icon the tree holds.
appstreamcli validate-tree --no-net --strict "$root" >"$work/tree.log" 2>&1 ||
  { cat "$work/tree.log"; fail "appstreamcli validate-tree failed on the installed tree"; }
gzip -t "$root/usr/share/man/man6/velcor.6.gz" || fail "the manual page is not gzip"
cmp -s <(gzip -dc "$root/usr/share/man/man6/velcor.6.gz") "$source_dir/packaging/velcor.6" ||
  fail "the installed manual page is not packaging/velcor.6"
for n in 1 2 3; do
  cmp -s "$root/usr/share/velcor/data/country$n.txt" "$source_dir/data/country$n.txt" ||
    fail "the installed country$n.txt is not the bundled one"
done

# The installed program plays a scenario from the directory it was unpacked to.
mkdir "$work/empty"
program="$root/usr/bin/velcor"
game=(--headless --scenario 1 --ruler 2 --months 24 --clock 1700000000)
(cd "$work/empty" && "$program" "${game[@]}") >"$work/installed.out" 2>&1 ||
  { cat "$work/installed.out"; fail "the installed program's headless game failed"; }
"$program" "${game[@]}" --data "$source_dir/data" >"$work/bundled.out"
cmp -s "$work/installed.out" "$work/bundled.out" || fail "the installed program plays another game than the bundled data's"
grep -q '^189 年 12 月' "$work/installed.out" || fail "the game does not start in 189: $(head -n 1 "$work/installed.out")"
# ... and those are its own root's data: scenario 2 in scenario 1's place there is
# what it plays then.
cp "$source_dir/data/scenario2.txt" "$root/usr/share/velcor/data/scenario1.txt"
cp "$source_dir/data/country2.txt" "$root/usr/share/velcor/data/country1.txt"
(cd "$work/empty" && "$program" "${game[@]}") >"$work/swapped.out" 2>&1 || fail "the swapped game failed"
grep -q '^200 年' "$work/swapped.out" || fail "the installed program did not read its root's data: $(head -n 1 "$work/swapped.out")"
echo "ok: $(wc -l <"$work/installed.out") lines of play from the installed data"
