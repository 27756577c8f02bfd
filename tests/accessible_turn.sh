#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A turn played through the accessibility tree (accessible_turn.py) under a real X
# server and a session bus of its own, where Qt's accessibility bridge speaks AT-SPI.
# Exit status 77 when the tools are missing.
set -euo pipefail
velcor="$1"
here="$(cd "$(dirname "$0")" && pwd)"
python=/usr/bin/python3
for tool in Xvfb xdotool dbus-run-session "$python"; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
"$python" -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "skipped: at-spi2-core is not installed"; exit 77; }

work="$(mktemp -d)"
cleanup() {
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

. "$here/../scripts/xvfb.sh"
start_xvfb 1366x768x24 "$work"

# Settings of its own, as at a first start, in Japanese; Qt's bridge on at once.
mkdir "$work/home"
export HOME="$work/home" XDG_RUNTIME_DIR="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  XDG_CACHE_HOME="$work/cache" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANGUAGE=ja
# The bus's own complaints (no higher limit of open files as a plain user) are noise.
timeout 120 dbus-run-session -- "$python" "$here/accessible_turn.py" "$velcor" 2> >(grep -v 'dbus-daemon\|SpiRegistry' >&2)
