#!/bin/sh
# Checks an LV2 bundle of ZORQ with the LV2 tools: lv2_validate and sord_validate (no
# error allowed), lv2ls and lv2info (the plug-in, its ports and presets), lv2bench,
# jalv with the editor under Xvfb on JACK's dummy backend (started privately here), and
# Ardour 7 headless when it is installed (tools/dev/lv2-ardour/check.sh).
# Usage: tools/dev/lv2-check.sh BUNDLE   Prints each step; exits non-zero on a failed one.
set -eu
bundle=$(cd "$1" && pwd)
uri=urn:zandervoltmusic:zorq
work=$(mktemp -d)
trap 'kill "$jack" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
jack=""
mkdir -p "$work/lv2" "$work/home"
ln -s "$bundle" "$work/lv2/ZORQ.lv2"
export LV2_PATH="$work/lv2:/usr/lib/lv2" HOME="$work/home"

echo "== lv2_validate"
lv2_validate "$bundle"/*.ttl 2>&1 | grep -v '^Skipping' | tee "$work/validate"
grep -q "Found 0 errors" "$work/validate"

echo "== sord_validate"
sord_validate $(dpkg -L "lv2-dev:$(dpkg --print-architecture)" | grep "\.ttl$") "$bundle"/*.ttl 2>&1 | tee "$work/sord"
grep -q "Found 0 errors" "$work/sord"

echo "== lv2ls"
lv2ls | grep -x "$uri"

echo "== lv2info"
lv2info "$uri" > "$work/info"
grep -E "^	(Name|Class|Binary|Has latency):" "$work/info"
echo "ports: $(grep -c '^	Port ' "$work/info"), presets: $(sed -n '/Presets:/,/^$/p' "$work/info" | grep -c '^	 ')"

echo "== lv2bench"
lv2bench "$uri"

echo "== jalv with the editor (Xvfb, JACK dummy backend)"
export JACK_NO_AUDIO_RESERVATION=1 JACK_DEFAULT_SERVER="zorq-check-$$"
jackd --no-realtime -d dummy -r 48000 -p 256 > "$work/jackd.log" 2>&1 &
jack=$!
jack_wait -w -t 10 > /dev/null
"$(dirname "$0")/with-xvfb.sh" sh -c '
  jalv.gtk3 "$1" > "$2/jalv.log" 2>&1 &
  pid=$!
  sleep 6
  if command -v xwd > /dev/null; then xwd -root -silent > "$2/screen.xwd"; fi
  kill -0 $pid || exit 1
  jack_lsp | grep -c "^ZORQ:" | sed "s/^/JACK ports of ZORQ: /"
  kill $pid; wait $pid || true' sh "$uri" "$work"
grep -E "^UI:|^Plugin:" "$work/jalv.log"
if [ -s "$work/screen.xwd" ] && command -v convert > /dev/null; then
  convert "xwd:$work/screen.xwd" "${LV2_CHECK_SCREENSHOT:-/tmp/zorq-lv2-jalv.png}"
  echo "screenshot: ${LV2_CHECK_SCREENSHOT:-/tmp/zorq-lv2-jalv.png}"
fi
if command -v ardour7-lua > /dev/null; then
  echo "== Ardour 7 headless (ardour7-lua, ardour7-export)"
  "$(dirname "$0")/lv2-ardour/check.sh" "$bundle"
else
  echo "== Ardour 7 headless: skipped (install the Debian package ardour to run it)"
fi
echo "lv2-check: all steps passed"
