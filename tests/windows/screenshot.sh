#!/usr/bin/env bash
# Takes docs/screenshots/scoreboard-windows.png: ravelle.exe of a 64-bit
# Windows build under Wine on an Xvfb display, a game played on it by
# drive_ravelle.exe, COM1 leading to the Linux virtual sign. Needs xvfb,
# x11-apps and imagemagick (not part of the build or the tests).
#
#   tests/windows/screenshot.sh [WINDOWS_BUILD [LINUX_SIGNSIM]]
#
# Runs in the guard of wine-guard.sh, as the tests do (no serial port of the
# machine reachable), in a Wine prefix of its own that draws its own window
# frames, as no window manager runs.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build/windows-x64}")
signsim=$(realpath "${2:-build/ci/bin/ravelle-signsim}")
. tests/windows/wine-guard.sh "$build" "$signsim"
mkdir -p /tmp/.X11-unix
work=$(mktemp -d)
export WINEPREFIX="$build/screenshot-prefix" DISPLAY=:77
wine=/usr/lib/wine/wine64
Xvfb :77 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
"$signsim" --text >"$work/sign.log" 2>&1 &
sign=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb $sign 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/sign.log" ] && break; sleep 0.05; done
[ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$(head -n 1 "$work/sign.log")" /f >/dev/null
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
"$wine" reg add 'HKCU\Software\Norvane\Ravelle' /v Connection /d 'serial port - betabrite classic' /f \
  >/dev/null
"$wine" reg add 'HKCU\Software\Norvane\Ravelle' /v ComPort /t REG_DWORD /d 1 /f >/dev/null
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
# A game an earlier run left behind would be offered back first.
rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/Ravelle/game*
"$wine" "$build/bin/ravelle.exe" &
"$wine" "$build/tests/win32/drive_ravelle.exe" --leave-open
sleep 3
xwd -root -display :77 -silent >"$work/screen.xwd"
# The main window stands at the top left of the screen.
frame=$(xwininfo -root -tree -display :77 | awk '/"Ravelle"/ { print $(NF-1); exit }')
/usr/bin/convert "$work/screen.xwd" -crop "${frame%%+*}+0+0" +repage docs/screenshots/scoreboard-windows.png
echo "docs/screenshots/scoreboard-windows.png: $frame"
