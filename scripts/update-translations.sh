#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs lupdate over every source and header into translations/velcor_en.ts: new texts
# come in unfinished, texts the program no longer has are dropped. The same options as
# the build's update_translations target and the translations check.
set -eu
cd "$(dirname "$0")/.."
LUPDATE="${LUPDATE:-/usr/lib/qt6/bin/lupdate}"
exec "$LUPDATE" -locations none -no-obsolete -source-language ja -target-language en \
  -tr-function-alias QT_TRANSLATE_NOOP+=VELCOR_TEXT src -ts translations/velcor_en.ts
