#!/usr/bin/env bash
# Runs a test program on a private X display (Xvfb, 1366x768) under the openbox window
# manager, both started here and stopped when the program ends.
set -u
program=$1
shift
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "under_window_manager: $tool is missing (scripts/packages.txt)"; exit 1; }
done
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
openbox_pid=
trap 'kill $openbox_pid $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
openbox --sm-disable >/dev/null 2>&1 &
openbox_pid=$!
sleep 0.5
QT_QPA_PLATFORM=xcb "$program" "$@"
