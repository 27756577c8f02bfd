#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/spdx.sh on a scratch copy of the source tree: it adds the licence line to
# exactly the source files that lack it, in the comment of each file's language and
# after a #! line, changing no other byte, mode or file; a second run changes nothing;
# --check then passes, and names the one file whose line is taken out again and fails.
# Usage: spdx_check.sh SOURCE_DIR
set -euo pipefail
source_dir="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
mkdir "$tree"
tar -C "$source_dir" --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . | tar -C "$tree" -xf -
# Files the script must leave alone: a build directory's and a hidden directory's
# sources, and files that are not sources.
mkdir -p "$tree/build-x/src" "$tree/.hidden"
echo 'int generated;' >"$tree/build-x/src/generated.cpp"
echo 'echo hidden' >"$tree/.hidden/run.sh"
# Sources of unusual shape: empty, and without a line end at the end.
mkdir -p "$tree/src/edge"
: >"$tree/src/edge/empty.h"
printf 'int x;' >"$tree/src/edge/no_line_end.cpp"
cp -a "$tree" "$work/before"
spdx="$tree/scripts/spdx.sh"

fail() { echo "FAIL: $*"; exit 1; }
line="SPDX-License-Identifier: GPL-3.0-or-later"

status=0
"$spdx" --check "$tree" >"$work/lacking" 2>/dev/null || status=$?
if [ -s "$work/lacking" ]; then
  [ "$status" -eq 1 ] || fail "--check named files but exited with $status"
else
  [ "$status" -eq 0 ] || fail "--check named no file but exited with $status"
fi
echo "$(wc -l <"$work/lacking") source files lack the line"

"$spdx" "$tree" >"$work/changed"
cmp -s "$work/lacking" "$work/changed" || fail "the files changed are not those --check named"

# Each file changed holds the line in its language's comment, first or after its #!
# line, and without that line is its old self.
while IFS= read -r file; do
  case "$file" in
    *.cpp | *.cc | *.h | *.hpp | *.inc) comment="//" ;;
    *) comment="#" ;;
  esac
  first="" second=""
  { IFS= read -r first || true; IFS= read -r second || true; } <"$tree/$file"
  if [[ "$second" == "$comment $line" && "$first" == '#!'* ]]; then
    at=2
  elif [ "$first" = "$comment $line" ]; then
    at=1
  else
    fail "$file begins '$first' / '$second', not with the line"
  fi
  sed "${at}d" "$tree/$file" | cmp -s - "$work/before/$file" || fail "$file: other bytes changed"
done <"$work/changed"
# No file's mode changed.
[ "$(cd "$work/before" && find . -printf '%m %p\n' | sort)" = "$(cd "$tree" && find . -printf '%m %p\n' | sort)" ] ||
  fail "modes changed"
# Every other file as it was, and no file added or taken away.
diff -r -q "$work/before" "$tree" >"$work/diffs" || true
grep -v '^Files ' "$work/diffs" && fail "files were added or removed"
sed -n "s|^Files $work/before/\(.*\) and .* differ\$|\1|p" "$work/diffs" | LC_ALL=C sort >"$work/differing"
cmp -s "$work/differing" "$work/changed" || fail "the files that differ are not those the script named"
grep -qx 'build-x/src/generated.cpp\|.hidden/run.sh' "$work/changed" && fail "a build or hidden file was changed"
# Shipped C++ sources and scripts are among those it covers.
for covered in src/app/main.cpp src/CMakeLists.txt test.sh scripts/spdx.sh src/edge/empty.h; do
  head -n 2 "$tree/$covered" | grep -q "$line" || fail "$covered has no line after the run"
done

# Idempotent.
cp -a "$tree" "$work/once"
[ -z "$("$spdx" "$tree")" ] || fail "a second run changed files"
diff -r -q "$work/once" "$tree" >/dev/null || fail "a second run changed bytes"
"$spdx" --check "$tree" >"$work/out" 2>&1 || fail "--check fails after the run: $(head -n 3 "$work/out")"
[ ! -s "$work/out" ] || fail "--check printed after the run: $(head -n 3 "$work/out")"

# One file loses its line (a script, whose line follows the #! line): --check names it
# alone and fails.
sed -i '2d' "$tree/scripts/pin-games.sh"
status=0
"$spdx" --check "$tree" >"$work/out" 2>/dev/null || status=$?
[ "$status" -eq 1 ] || fail "--check exited with $status for a file without the line"
[ "$(cat "$work/out")" = "scripts/pin-games.sh" ] || fail "--check named '$(cat "$work/out")', not scripts/pin-games.sh"
echo "ok"
