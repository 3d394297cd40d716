#!/bin/sh
# Ardour 7 headless: ardour7-lua builds a session with ZORQ from BUNDLE on a track
# (session.lua), then ardour7-export renders two seconds of it (tools/dev/ardour-render.sh);
# the render must not be silent.
# Usage: tools/dev/lv2-ardour/check.sh BUNDLE
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bundle=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/lv2" "$work/home"
ln -s "$bundle" "$work/lv2/ZORQ.lv2"
export LV2_PATH="$work/lv2:/usr/lib/lv2" HOME="$work/home"
ardour7-lua "$here/session.lua" "$work/session" 2>&1 | grep -E "^(plug-in|presets|preset applied|Out Balance)"
"$here/../ardour-render.sh" "$work/session" zorq "$work/out.wav"
