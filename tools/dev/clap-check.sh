#!/bin/sh
# Checks a built ZORQ.clap with a real CLAP host's scanner: Qtractor's plug-in scan
# helper (Debian's qtractor) loads it in a private HOME the way Qtractor does before it
# lists a plug-in, with a host that offers no extensions, and must report ZORQ with its
# ports, parameters and an editor ("GUI"). Where Qtractor is not installed the check
# says so and is skipped (exit 0); QTRACTOR_SCAN names another scan helper.
# Usage: tools/dev/clap-check.sh PLUGIN.clap   Prints each step; exits non-zero on a failure.
set -eu
plugin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
[ -f "$plugin" ] || { echo "clap-check: no plug-in at $1"; exit 1; }

scan=${QTRACTOR_SCAN:-}
if [ -z "$scan" ]; then
  for candidate in /usr/lib/*/qtractor/qtractor_plugin_scan /usr/lib/qtractor/qtractor_plugin_scan \
    /usr/local/lib/*/qtractor/qtractor_plugin_scan /usr/local/lib/qtractor/qtractor_plugin_scan; do
    if [ -x "$candidate" ]; then scan=$candidate; break; fi
  done
fi
if [ -z "$scan" ]; then
  echo "== Qtractor's CLAP scan: SKIPPED, Qtractor is not installed (install the Debian package qtractor)"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
mkdir -p "$work/home"

# The helper reads "TYPE:FILE" lines and answers one line per plug-in:
# CLAP|name|audio in:out|MIDI in:out|parameters in:out|flags|file|index|id
echo "== Qtractor's CLAP scan ($scan)"
echo "CLAP:$plugin" | HOME="$work/home" timeout 60 "$scan" > "$work/scan" 2> "$work/scan.log" || {
  echo "the scan helper failed:"; cat "$work/scan.log"; exit 1; }
cat "$work/scan"
line=$(grep '^CLAP|ZORQ|' "$work/scan" || true)
[ -n "$line" ] || { echo "clap-check: Qtractor's scan does not list ZORQ"; cat "$work/scan.log"; exit 1; }
field() { echo "$line" | cut -d'|' -f"$1"; }
echo "audio in:out $(field 3), MIDI in:out $(field 4), parameters $(field 5), flags $(field 6)"
[ "$(field 3)" = "2:2" ] || { echo "clap-check: expected 2 audio inputs and 2 outputs"; exit 1; }
[ "$(field 4)" = "1:1" ] || { echo "clap-check: expected a MIDI input and output"; exit 1; }
case ",$(field 6)," in
  *,GUI,*) echo "Qtractor lists ZORQ with an editor" ;;
  *) echo "clap-check: Qtractor lists ZORQ without an editor (no GUI flag)"; exit 1 ;;
esac
echo "clap-check: all steps passed"
