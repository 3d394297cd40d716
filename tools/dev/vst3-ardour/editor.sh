#!/bin/sh
# Ardour 7's own window shows ZORQ's editor: in a HOME that check.sh prepared (the bundle
# scanned), ardour7-lua makes a session with ZORQ alone on a track, Ardour starts on it
# (on the dummy backend, without its first-run dialogs) under an X server, its mixer is
# shown and ZORQ's slot in the track's strip double-clicked, as a user opens a plug-in's
# editor. Ardour's plug-in window must hold a window of the editor's size (within 30 s). The slot's
# place is where Ardour 7.3 draws it on a 1280 x 1024 screen. Leaves a screenshot.
# Usage: tools/dev/vst3-ardour/editor.sh WORK_FOLDER XPOKE SCREENSHOT.png
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$1
xpoke=$2
screenshot=$3
ardour7-lua "$here/editor-session.lua" "$work/gui-session" > "$work/gui-session.log" 2>&1 ||
  { cat "$work/gui-session.log"; exit 1; }
mkdir -p "$HOME/.config/ardour7"
touch "$HOME/.config/ardour7/.a7"  # the first-run wizard has been through
cat > "$HOME/.config/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="" device="Silence" input-device="Silence"
               output-device="Silence" sample-rate="48000" buffer-size="1024" n-periods="2"
               input-latency="0" output-latency="0" input-channels="0" output-channels="0"
               active="1" use-buffered-io="0" midi-option="" lru="1"><MIDIDevices/></State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML
"$here/../with-xvfb.sh" sh -c '
  xpoke=$1; session=$2; screenshot=$3; log=$4
  ardour -n -a "$session/zorq.ardour" > "$log" 2>&1 &
  ardour=$!
  trap "kill $ardour 2>/dev/null" EXIT
  tries=0
  until "$xpoke" find "zorq - Ardour" > /dev/null; do
    tries=$((tries + 1)); [ $tries -lt 90 ] || { echo "Ardour shows no session window"; exit 1; }
    sleep 1
  done
  sleep 5
  "$xpoke" keys Alt_L m  # the mixer
  sleep 3
  for try in 1 2 3 4 5; do
    "$xpoke" click 329 215 2
    sleep 4
    window=$("$xpoke" find ": ZORQ (") && break
  done
  [ -n "${window:-}" ] || { "$xpoke" shot "$screenshot"; echo "Ardour opened no window for ZORQ"; exit 1; }
  # A loaded machine may take a while to embed the editor in the new window.
  for try in $(seq 30); do
    "$xpoke" holds "$window" 800 360 && held=1 && break
    sleep 1
  done
  "$xpoke" shot "$screenshot"
  [ -n "${held:-}" ] || { echo "Ardour'"'"'s window for ZORQ holds no editor"; exit 1; }
  echo "Ardour'"'"'s window for ZORQ holds its 800 x 360 editor; screenshot: $screenshot"
' sh "$xpoke" "$work/gui-session" "$screenshot" "$work/gui.log"
