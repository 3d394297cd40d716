#!/bin/sh
# Ardour 7 headless with ZORQ's VST 3 bundle: Ardour's own scanner (ardour-vst3-scanner)
# indexes BUNDLE, ardour7-lua builds a session with ZORQ on a track (session.lua),
# ardour7-export renders two seconds of it (the render must not be silent), and
# ardour7-lua opens the saved session again (reopen.lua): ZORQ must come back with the
# values it was saved with. Everything runs in a scratch HOME.
# Then Ardour's own window shows ZORQ's editor (editor.sh, with zorq-xpoke from the build;
# VST3_CHECK_EDITOR=0 skips this step, saying so).
# Usage: tools/dev/vst3-ardour/check.sh BUNDLE [XPOKE]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bundle=$(cd "$1" && pwd)
xpoke=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/home/.vst3"
# Real copies, as some hosts ignore linked bundles. Ardour takes its scanner's index as
# current only when it is not older than the module, and the index keeps whole
# seconds: the copy is dated a minute back.
cp -R "$bundle" "$work/home/.vst3/ZORQ.vst3"
find "$work/home/.vst3" -exec touch -d "1 minute ago" {} +
export HOME="$work/home"

echo "== ardour-vst3-scanner"
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f "$HOME/.vst3/ZORQ.vst3" \
  > "$work/scan.log" 2>&1 || { cat "$work/scan.log"; exit 1; }
grep -E "Class: |Found Plugin" "$work/scan.log"
grep -o 'VST3Info uid="[^"]*" name="[^"]*" vendor="[^"]*" category="[^"]*" version="[^"]*"' \
  "$HOME"/.cache/ardour7/vst/*.v3i

echo "== ardour7-lua: a session with ZORQ on a track"
ardour7-lua "$here/session.lua" "$work/session" > "$work/session.log" 2>&1 || true
grep -E "^(plug-in|factory programs|program chosen|saved)" "$work/session.log" ||
  { cat "$work/session.log"; exit 1; }
saved=$(sed -n 's/^saved: //p' "$work/session.log")

echo "== ardour7-export: two seconds rendered"
"$here/../ardour-render.sh" "$work/session" zorq "$work/out.wav"

echo "== ardour7-lua: the saved session opened again"
ardour7-lua "$here/reopen.lua" "$work/session" > "$work/reopen.log" 2>&1 || true
reopened=$(sed -n 's/^reopened: //p' "$work/reopen.log")
echo "saved:    $saved"
echo "reopened: $reopened"
[ -n "$saved" ] && [ "$saved" = "$reopened" ] || { cat "$work/reopen.log"; exit 1; }

echo "== Ardour 7's window: ZORQ's editor"
if [ "${VST3_CHECK_EDITOR:-1}" = 0 ]; then
  echo "skipped (VST3_CHECK_EDITOR=0: Ardour under Xvfb without a window manager does not always"
  echo "embed the editor in its plug-in window; run it where a display and window manager are)"
elif [ -n "$xpoke" ] && command -v ardour > /dev/null; then
  "$here/editor.sh" "$work" "$xpoke" "${VST3_CHECK_SCREENSHOT:-/tmp/zorq-vst3-ardour.png}"
else
  echo "skipped (needs ardour and zorq-xpoke from the build)"
fi
