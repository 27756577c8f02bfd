#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Every text of the program has its English translation: lupdate reads the sources
# into a scratch copy of translations/velcor_en.ts, where a new text comes in
# "unfinished" and a text the program no longer has turns "vanished"; either fails, and
# so does an empty translation.
# Usage: translations_check.sh <lupdate> <source tree>
set -eu
lupdate="$1"
tree="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$tree/translations/velcor_en.ts" "$work/velcor_en.ts"
(cd "$tree" && "$lupdate" -locations none -source-language ja -target-language en \
  -tr-function-alias QT_TRANSLATE_NOOP+=VELCOR_TEXT src -ts "$work/velcor_en.ts") > "$work/lupdate.log" 2>&1 ||
  { cat "$work/lupdate.log"; exit 1; }
status=0
if grep -n 'type="unfinished"' "$work/velcor_en.ts" > "$work/unfinished"; then
  echo "texts without an English translation (scripts/update-translations.sh, then translate them):"
  grep -B2 'type="unfinished"' "$work/velcor_en.ts" | grep '<source>' || true
  status=1
fi
if grep -n -e 'type="vanished"' -e 'type="obsolete"' "$work/velcor_en.ts" > /dev/null; then
  echo "translations of texts the program no longer has (scripts/update-translations.sh drops them):"
  grep -B2 -e 'type="vanished"' -e 'type="obsolete"' "$work/velcor_en.ts" | grep '<source>' || true
  status=1
fi
if grep -n -e '<translation></translation>' -e '<translation/>' "$work/velcor_en.ts"; then
  echo "empty translations"
  status=1
fi
messages="$(grep -c '<message' "$work/velcor_en.ts")"
[ "$messages" -gt 0 ] || { echo "no texts found in the sources"; status=1; }
[ "$status" -eq 0 ] && echo "$messages texts, all translated"
exit "$status"
