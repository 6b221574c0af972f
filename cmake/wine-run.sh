#!/usr/bin/env bash
# CTest's emulator for the cross build: runs a Windows test executable under
# Wine in a private prefix inside the build tree. The exit code of the
# executable is passed on unchanged.
set -u
# Wine takes only an absolute prefix.
prefix=$(realpath -m "$1")
shift
export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if command -v wine >/dev/null 2>&1; then
  WINE=wine
elif command -v wine64 >/dev/null 2>&1; then
  WINE=wine64
else
  WINE=/usr/lib/wine/wine64
fi
# The prefix is made once, under a lock, so tests started together share it.
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    "$WINE" wineboot -i >/dev/null 2>&1
    wineserver -w 2>/dev/null || true
  fi
  # Windows run inside one 1280 x 1024 virtual desktop, so captions,
  # activation, non-client hit tests and the system's move and size loops
  # are Wine's own and do not wait on an X window manager.
  if [ ! -f "$prefix/.plv-desktop" ]; then
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f >/dev/null 2>&1
    wineserver -w 2>/dev/null || true
    touch "$prefix/.plv-desktop"
  fi
) 9>"$prefix.lock"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a "$WINE" "$@"
fi
exec "$WINE" "$@"
