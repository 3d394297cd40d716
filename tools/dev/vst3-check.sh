#!/bin/sh
# Checks ZORQ's VST 3 bundle with real tools: its layout and exported functions (nm),
# its moduleinfo.json read by a JSON parser against the binary's own answers (the
# scanner's index), and Ardour 7 headless (tools/dev/vst3-ardour/check.sh: Ardour's own
# scanner, a session with ZORQ on a track, a render, the session opened again). Ardour
# is the one Linux host packaged in Debian that loads VST 3; where it is missing that
# step is skipped with a message.
# Usage: tools/dev/vst3-check.sh BUNDLE   Prints each step; exits non-zero on a failed one.
set -eu
bundle=$(cd "$1" && pwd)
binary="$bundle/Contents/$(uname -m)-linux/ZORQ.so"

echo "== bundle layout"
for file in "$binary" "$bundle/Contents/Resources/moduleinfo.json"; do
  [ -f "$file" ] || { echo "missing: $file"; exit 1; }
  echo "${file#"$bundle"/}"
done

echo "== exported functions"
exports=$(nm -D --defined-only "$binary" | awk '{ print $3 }' | sort | tr '\n' ' ')
echo "$exports"
[ "$exports" = "GetPluginFactory ModuleEntry ModuleExit " ]

echo "== moduleinfo.json"
python3 - "$bundle/Contents/Resources/moduleinfo.json" <<'PY'
import json, sys
info = json.load(open(sys.argv[1]))
cls = info["Classes"][0]
print("%s %s by %s: class %s, %s, %s" % (info["Name"], info["Version"], info["Factory Info"]["Vendor"],
      cls["CID"], cls["Category"], "|".join(cls["Sub Categories"])))
PY

if command -v ardour7-lua > /dev/null && [ -x /usr/lib/ardour7/ardour-vst3-scanner ]; then
  echo "== Ardour 7 headless (ardour-vst3-scanner, ardour7-lua, ardour7-export)"
  "$(dirname "$0")/vst3-ardour/check.sh" "$bundle"
else
  echo "== Ardour 7 headless: skipped (install the Debian package ardour to run it)"
fi
echo "vst3-check: all steps passed"
