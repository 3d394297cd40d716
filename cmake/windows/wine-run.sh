#!/bin/sh
# Runs a Windows program under Wine: the emulator of the Windows build (ctest and test
# discovery go through it). The Wine prefix lives in the build folder, found as the
# nearest folder above the working directory with a CMakeCache.txt (or $WINEPREFIX).
# The first call creates the prefix and every call makes sure that the prefix's server
# runs, persistently: without it each program costs seconds while Wine's services linger.
# A crash fails: Wine's debugger is disabled, so an access violation ends the program
# with a non-zero status instead of a report and status 0.
set -eu
wine_dir=/usr/lib/wine

if [ -z "${WINEPREFIX:-}" ]; then
  build=$(pwd)
  while [ ! -f "$build/CMakeCache.txt" ]; do
    [ "$build" = / ] && { echo "wine-run.sh: not inside a build folder; set WINEPREFIX" >&2; exit 2; }
    build=$(dirname "$build")
  done
  WINEPREFIX=$build/wine
fi
export WINEPREFIX
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=;winedbg.exe=d"
export WINEDEBUG=${WINEDEBUG:--all}

# The server and the services it starts keep whatever descriptors they inherit open:
# none but /dev/null, or ctest would wait for them (and the lock would never be let go).
detached() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

mkdir -p "$WINEPREFIX"
exec 9>"$WINEPREFIX.lock"
flock 9
# A new server also needs Wine's services (started by the boot below): left to the
# program, they would inherit its output and hold ctest's pipe open until they end.
server_started=
detached "$wine_dir/wineserver" -p && server_started=1
if [ -f "$WINEPREFIX/zorq-ready" ]; then
  [ -z "$server_started" ] || detached "$wine_dir/wine64" wineboot
else
  detached "$wine_dir/wine64" wineboot --init
  # Wine's own fonts (a fresh Debian prefix lacks them) and the null display driver:
  # windows, painting and input work without an X server.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  detached "$wine_dir/wine64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
  touch "$WINEPREFIX/zorq-ready"
fi
flock -u 9
exec 9>&-

exec "$wine_dir/wine64" "$@"
