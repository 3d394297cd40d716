#!/bin/sh
# Renders two seconds of an Ardour session that a Lua script saved (its first
# session range is added here: no Lua constructor makes one) with ardour7-export, and
# prints the render's frames, rate, RMS and peak; fails when it stays silent (Ardour's
# export sometimes renders nothing, or hangs: it tries twice, a minute each).
# Usage: tools/dev/ardour-render.sh SESSION_FOLDER SESSION_NAME OUTPUT.wav
set -eu
folder=$1
name=$2
output=$3
sed -i 's|  <Locations/>|  <Locations>\n    <Location id="9999" name="session" start="a0" end="a564480000" flags="IsSessionRange" locked="0" timestamp="1" cd="0"/>\n  </Locations>|' \
  "$folder/$name.ardour"
for try in 1 2; do
  timeout 60 ardour7-export -b float -o "$output" "$folder" "$name" > "$output.log" 2>&1 || true
  python3 - "$output" <<'PY' && exit 0
import math, struct, sys
try:
    data = open(sys.argv[1], 'rb').read()
except OSError:
    sys.exit(1)
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
  echo "export $try gave no audio; $(tail -1 "$output.log")"
done
exit 1
