#!/usr/bin/env bash
# The Windows build's CMAKE_CROSSCOMPILING_EMULATOR: runs one Windows program
# under Wine. Wine maps every serial device of the machine (/dev/ttyS*,
# /dev/ttyUSB*, /dev/ttyACM*) to a COM port on its own, and /dev/ttyS0 may be
# the kernel's console, so this refuses to run unless each of them is
# /dev/null (the private mount namespace of tests/windows/wine-guard.sh, in
# which tests/windows/run-tests.sh runs), a Wine prefix of the build's own is named and the guard chose the
# Wine loader for the build (32-bit or 64-bit).
set -euo pipefail
for device in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do
  [ -e "$device" ] || continue
  if [ "$(stat -L -c %t:%T "$device")" != "1:3" ]; then
    echo "wine-run.sh: $device is not hidden from Wine; run the Windows tests with" \
      "tests/windows/run-tests.sh" >&2
    exit 125
  fi
done
if [ -z "${WINEPREFIX:-}" ] || [ -z "${RAVELLE_WINE_LOADER:-}" ]; then
  echo "wine-run.sh: no WINEPREFIX or Wine loader; run the Windows tests with" \
    "tests/windows/run-tests.sh" >&2
  exit 125
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
exec "$RAVELLE_WINE_LOADER" "$@"
