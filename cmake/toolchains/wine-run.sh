#!/bin/sh
# Runs a Windows program of the mingw64 build under wine64; CMake uses it as the crosscompiling
# emulator of that build.
#   wine-run.sh TRIPLET PROGRAM.exe [ARG...]
# The program finds the MinGW runtime DLLs (libstdc++, libgcc) of the cross compiler through
# WINEPATH, and the library's DLL beside it (the presets put every DLL and .exe in <build>/bin).
# Wine's own messages are silenced (WINEDEBUG=-all) so that only the program's output is seen. The
# wine prefix (default: kelohessian-wine-<uid> in $TMPDIR or /tmp) is made once, under a lock, so
# that test programs run in parallel do not race to create it. The wine server is kept running for
# a while after its last program (-p10): programs started one after another in parallel would
# otherwise meet a server that is shutting down ("wine client error: write: Bad file descriptor").
set -eu

triplet=$1
shift

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "wine-run.sh: wine64 is not installed" >&2; exit 127; }

runtime=$(dirname "$("$triplet-g++-posix" -print-libgcc-file-name)")
export WINEPATH="$runtime;/usr/$triplet/lib${WINEPATH:+;$WINEPATH}"
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-${TMPDIR:-/tmp}/kelohessian-wine-$(id -u)}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  flock "$WINEPREFIX.lock" sh -c '[ -f "$WINEPREFIX/system.reg" ] || "$1" wineboot --init >/dev/null 2>&1' sh "$wine"
fi

server=$(command -v wineserver64 || command -v wineserver || true)
[ -n "$server" ] || server=/usr/lib/wine/wineserver64
[ -x "$server" ] && "$server" -p10 >/dev/null 2>&1 || true

exec "$wine" "$@"
