#!/bin/sh
# Runs a command with an X server for the editor's tests. When $DISPLAY is unset (or
# names no server that answers), starts Xvfb on a free display that it picks itself
# (-displayfd), with -noreset so that the server outlives its last client between
# tests, and kills it when the command ends. Exits with the command's status.
set -u

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi

number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3>"$number" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$number"' EXIT INT TERM

tries=0
while [ ! -s "$number" ] && [ "$tries" -lt 200 ]; do
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
  tries=$((tries + 1))
done
if [ ! -s "$number" ]; then
  echo "with-xvfb: Xvfb did not start; the tests that need a display will skip" >&2
  unset DISPLAY
else
  DISPLAY=":$(head -n 1 "$number")"
  export DISPLAY
  echo "with-xvfb: Xvfb on DISPLAY=$DISPLAY"
fi
"$@"
