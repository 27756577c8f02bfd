#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The floor check on a planted tree: it stops, naming every include that runs up a
# floor or brings Qt into std-only code and both includes of two files that include
# each other, and none of the includes the floors allow.
# Usage: floors_check.sh <cmake> <check_floors.cmake>
set -eu
cmake="$1"
script="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# verdict, file under src/, the include
cat > "$work/cases" <<'CASES'
refused rules/up.cpp "view/map.h"
refused session/up.cpp "app/doc.h"
refused dialogs/up.h "cli/main.h"
refused cli/beside.cpp "view/map.h"
refused cli/qt.cpp <QString>
refused foresight/up.cpp "cli/headless.h"
refused foresight/qt.cpp <QString>
refused model/qt.h <QString>
refused rules/qt.cpp <QtCore/qlist.h>
refused platform/core.cpp "platform/screen.h"
refused web/qt.cpp <QString>
refused web/beside.cpp "app/doc.h"
refused app/beside.cpp "web/web_game.h"
refused control/up.cpp "view/map.h"
refused control/widget.cpp <QWidget>
refused foresight/up2.cpp "control/game_controller.h"
refused foresight/up3.cpp "conduct/game_conductor.h"
refused conduct/up.cpp "control/game_controller.h"
refused conduct/up2.cpp "web/web_game.h"
refused conduct/qt.cpp <QObject>
allowed cli/down.cpp "conduct/game_conductor.h"
allowed control/down.cpp "conduct/turn_description.h"
refused cli/apart.cpp "control/game_controller.h"
refused control/apart.cpp "cli/headless.h"
allowed view/side.cpp "dialogs/box.h"
refused dialogs/up.cpp "view/map.h"
refused words/up.cpp "dialogs/box.h"
allowed dialogs/down.cpp "words/shown_text.h"
allowed view/words.cpp "words/shown_text.h"
allowed rules/down.cpp "model/game_state.h"
allowed app/down.cpp "view/map.h"
allowed app/main.cpp "cli/headless.h"
allowed foresight/down.cpp "session/game_session.h"
allowed cli/down.cpp "foresight/advisor.h"
allowed web/down.cpp "cli/headless.h"
allowed view/down.cpp "foresight/advisor.h"
allowed platform/core_down.cpp "platform/core.h"
allowed platform/core_table.cpp "platform/screen.inc"
allowed platform/screen.cpp <QScreen>
allowed view/qt.cpp <QWidget>
allowed control/down.cpp "foresight/advisor.h"
allowed control/core.cpp <QObject>
allowed view/play.cpp "control/game_controller.h"
allowed app/play.cpp "control/game_controller.h"
refused view/loop_a.cpp "view/loop_b.h"
refused view/loop_b.cpp "view/loop_a.h"
refused cli/loop_c.h "cli/loop_d.h"
refused cli/loop_d.cpp "cli/loop_c.h"
allowed view/one_way.cpp "view/loop_a.h"
refused net/qt.cpp <QString>
refused net/beside.cpp "conduct/game_conductor.h"
allowed net/down.cpp "session/game_record.h"
allowed transport/socket.cpp <QWebSocket>
refused transport/widget.cpp <QWidget>
refused view/beside.cpp "transport/host_server.h"
allowed app/net.cpp "transport/host_server.h"
CASES
while read -r verdict file include; do
  mkdir -p "$work/src/$(dirname "$file")"
  printf '#include %s\n' "$include" >> "$work/src/$file"
done < "$work/cases"

if "$cmake" -DSOURCE_DIR="$work/src" "-DPLATFORM_CORE=platform/core.cpp;platform/core_down.cpp;platform/core_table.cpp" \
    -P "$script" > "$work/out" 2>&1; then
  echo "the check passed a tree with includes that break the floors"
  exit 1
fi
# CMake wraps long lines of the message: join them before looking.
tr -s ' \n' ' ' < "$work/out" > "$work/said"
status=0
while read -r verdict file include; do
  named=no
  grep -qF "src/$file includes $include" "$work/said" && named=yes
  if [ "$verdict" = refused ] && [ $named = no ]; then
    echo "not named: src/$file includes $include"
    status=1
  elif [ "$verdict" = allowed ] && [ $named = yes ]; then
    echo "refused, though the floors allow it: src/$file includes $include"
    status=1
  fi
done < "$work/cases"
[ $status = 0 ] || cat "$work/out"
exit $status
