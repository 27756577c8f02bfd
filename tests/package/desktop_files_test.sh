#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The files that make the game a desktop program, each checked by its own format's
# validator, which must find nothing to say:
#   desktop_files_test.sh desktop SOURCE_DIR               the desktop entry
#   desktop_files_test.sh metainfo SOURCE_DIR VERSION      the AppStream description,
#                                                          whose newest release must be
#                                                          the project's version
#   desktop_files_test.sh man SOURCE_DIR VERSION VELCOR    the manual page, of that
#                                                          version, which must name every
#                                                          option the program's usages
#                                                          name, and no other
set -euo pipefail
what="$1"
source_dir="$(cd "$2" && pwd)"
fail() { echo "FAIL: $*"; exit 1; }
need() { command -v "$1" >/dev/null || fail "$1 is missing (scripts/ensure-packages.sh installs the test packages)"; }

case "$what" in
desktop)
  need desktop-file-validate
  out="$(desktop-file-validate "$source_dir/res/velcor.desktop" 2>&1)" || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
  grep -qx 'Categories=Game;StrategyGame;' "$source_dir/res/velcor.desktop" || fail "the entry is not in Game;StrategyGame;"
  ;;
metainfo)
  need appstreamcli
  appstreamcli validate --no-net --strict --pedantic "$source_dir"/packaging/*.metainfo.xml ||
    fail "appstreamcli validate"
  newest="$(grep -o -m 1 '<release version="[^"]*"' "$source_dir"/packaging/*.metainfo.xml)"
  [ "$newest" = "<release version=\"$3\"" ] || fail "the newest release is $newest, not the project's version $3"
  ;;
man)
  need man
  page="$source_dir/packaging/velcor.6"
  # Rendered as a UTF-8 terminal shows it, with every warning of groff.
  errors="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$page" 2>&1 >/dev/null)" || fail "man failed: $errors"
  [ -z "$errors" ] || fail "man warns: $errors"
  grep -q "^\.TH VELCOR 6 [0-9-]* \"Velcor $3\"" "$page" || fail "the page is not of version $3: $(grep '^\.TH' "$page")"
  # The options: those the two usages name and those the page names.
  velcor="$4"
  usage="$("$velcor" --help; "$velcor" --headless --help)"
  grep -o -- '--[a-z][a-z-]*' <<<"$usage" | sort -u >"${TMPDIR:-/tmp}/velcor-usage.$$"
  grep -o -- '\\-\\-[a-z]\([a-z]\|\\-\)*' "$page" | sed 's/\\//g' | sort -u >"${TMPDIR:-/tmp}/velcor-page.$$"
  differ="$(comm -3 "${TMPDIR:-/tmp}/velcor-usage.$$" "${TMPDIR:-/tmp}/velcor-page.$$")"
  rm -f "${TMPDIR:-/tmp}/velcor-usage.$$" "${TMPDIR:-/tmp}/velcor-page.$$"
  [ -z "$differ" ] || fail "options only in the usage (left) or only in the page (right): $differ"
  echo "the page names the $(grep -o -- '--[a-z][a-z-]*' <<<"$usage" | sort -u | wc -l) options of the usage"
  ;;
*)
  fail "unknown check $what"
  ;;
esac
