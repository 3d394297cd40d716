#!/bin/sh
# Ardour 7 headless: ardour7-lua builds a session with ZORQ from BUNDLE on a track
# (session.lua), then ardour7-export renders two seconds of it; the render must not be
# silent. Ardour (Debian package `ardour`) is large and not among the build's packages.
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
# No Lua constructor makes the session range: it goes into the saved file.
sed -i 's|  <Locations/>|  <Locations>\n    <Location id="9999" name="session" start="a0" end="a564480000" flags="IsSessionRange" locked="0" timestamp="1" cd="0"/>\n  </Locations>|' \
  "$work/session/zorq.ardour"
for try in 1 2; do
  ardour7-export -b float -o "$work/out.wav" "$work/session" zorq > "$work/export.log" 2>&1 || true
  python3 - "$work/out.wav" <<'PY' && exit 0
import math, struct, sys
data = open(sys.argv[1], 'rb').read()
pos, fmt, samples = 12, None, b''
while pos + 8 <= len(data):
    chunk, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
    if chunk == b'fmt ': fmt = struct.unpack('<HHIIHH', data[pos + 8:pos + 24])
    if chunk == b'data': samples = data[pos + 8:pos + 8 + size]
    pos += 8 + size + (size & 1)
values = struct.unpack('<%df' % (len(samples) // 4), samples)
if not values: sys.exit(1)
rms = math.sqrt(sum(v * v for v in values) / len(values))
print('rendered: %d frames, %d channels, %d Hz, rms %.4f, peak %.4f' %
      (len(values) // fmt[1], fmt[1], fmt[2], rms, max(abs(v) for v in values)))
sys.exit(0 if rms > 1e-4 else 1)
PY
  echo "export $try gave no audio; $(tail -1 "$work/export.log")"
done
exit 1
