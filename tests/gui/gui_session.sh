#!/bin/sh
# Runs a command inside a private X server (Xvfb on a free display) with its own session
# bus and the accessibility bus, as a desktop session would have them.
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$fdfile"' EXIT INT TERM
for i in $(seq 1 100); do
  [ -s "$fdfile" ] && break
  sleep 0.05
done
DISPLAY=":$(head -n1 "$fdfile")"
export DISPLAY GDK_BACKEND=x11 NO_AT_BRIDGE=0
dbus-run-session -- sh -c '
  gsettings set org.gnome.desktop.interface toolkit-accessibility true 2>/dev/null
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  launcher=$!
  sleep 0.3
  "$@"
  status=$?
  kill $launcher 2>/dev/null
  exit $status' sh "$@" 2>&1 | grep -v "^dbus-daemon\["
