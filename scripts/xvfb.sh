# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts and tests that run the game under a real X server.
# start_xvfb SIZE WORK: starts Xvfb on a free display with a screen of SIZE (WxHxD), its
# log in WORK; sets DISPLAY and xvfb (its process, for the caller's cleanup) and returns
# once the server answers.
start_xvfb() {
  local n display=""
  for n in $(seq 90 199); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 "$1" -nolisten tcp >"$2/xvfb.log" 2>&1 &
  xvfb=$!
  export DISPLAY="$display"
  for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
}
