#!/usr/bin/env bash
# Runs the Windows build's tests under Wine:
#
#   tests/windows/run-tests.sh [WINDOWS_BUILD [LINUX_SIGNSIM]]
#
# (defaults build/windows and build/ci/bin/ravelle-signsim). First the test
# programs through CTest, then ravelle-cli.exe against the Linux virtual sign.
#
# Wine maps every serial device of the machine to a COM port on its own, and
# /dev/ttyS0 may be the kernel's console. So everything runs in a private
# mount namespace with /dev/null over each of them, in a Wine prefix inside
# the build folder, and the only COM ports that lead anywhere are the ones
# mapped here:
#   COM1  the virtual sign (ravelle-signsim --text)
#   COM2  a far end that reads everything
#   COM3  a far end that never reads
#   COM4  a device that does not exist (an adapter pulled out)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build/windows}")
signsim=$(realpath "${2:-build/ci/bin/ravelle-signsim}")

if [ "${RAVELLE_WINE_GUARDED:-}" != 1 ]; then
  exec env RAVELLE_WINE_GUARDED=1 unshare --mount --propagation private "$0" "$build" "$signsim"
fi
for device in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do
  if [ -e "$device" ]; then mount --bind /dev/null "$device"; fi
done
# Wine's programs find their server through a socket under /tmp/.wine-UID;
# a private folder there means they only ever meet the server started here,
# inside the guard, never one a program outside it started.
mkdir -p "/tmp/.wine-$(id -u)"
mount -t tmpfs -o mode=0700 tmpfs "/tmp/.wine-$(id -u)"

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine_run=cmake/wine-run.sh
work=$(mktemp -d)
pids=()
finish() {
  wineserver -k 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap finish EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "--- new Wine prefix in $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi

# The far ends, and the COM ports leading to them.
"$signsim" --text --tcp 0 >"$work/sign.log" 2>&1 &
pids+=($!)
mkfifo "$work/hold"
tests/windows/far_ends.py <"$work/hold" >"$work/far-ends" &
pids+=($!)
exec {hold}>"$work/hold"
for _ in $(seq 100); do
  [ -s "$work/sign.log" ] && [ -s "$work/far-ends" ] && break
  sleep 0.05
done
sign_pty=$(head -n 1 "$work/sign.log")
read -r reading_pty stalled_pty <"$work/far-ends"
wine reg delete 'HKLM\Software\Wine\Ports' /f >/dev/null 2>&1 || true
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$sign_pty" /f >/dev/null
wine reg add 'HKLM\Software\Wine\Ports' /v COM2 /d "$reading_pty" /f >/dev/null
wine reg add 'HKLM\Software\Wine\Ports' /v COM3 /d "$stalled_pty" /f >/dev/null
wine reg add 'HKLM\Software\Wine\Ports' /v COM4 /d "$work/no-such-device" /f >/dev/null
# The port links are made when the server starts; one persistent server
# then serves every test program.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p
wine cmd /c exit >/dev/null 2>&1
for port in 1 2 3 4; do
  echo "COM$port -> $(readlink "$WINEPREFIX/dosdevices/com$port")"
done

echo "--- test programs"
RAVELLE_WINE_READING_COM=2 RAVELLE_WINE_STALLED_COM=3 RAVELLE_WINE_MISSING_DEVICE_COM=4 \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

echo "--- ravelle-cli.exe and the virtual sign"
"$wine_run" "$build/bin/ravelle-cli.exe" --port 1 scoreboard HOM VIS --colors Red Green Amber Yellow
wanted='sign: {hold}{fixed}{red}HOM{green} 0  {amber}VIS{yellow} 0'
for _ in $(seq 100); do
  grep -qxF "$wanted" "$work/sign.log" && break
  sleep 0.05
done
if ! grep -qxF "$wanted" "$work/sign.log"; then
  echo "the virtual sign does not show the scoreboard:" >&2
  cat "$work/sign.log" >&2
  exit 1
fi
echo "the sign shows: ${wanted#sign: }"
status=0
"$wine_run" "$build/bin/ravelle-cli.exe" --port 200 clear 2>"$work/missing.err" || status=$?
if [ "$status" != 1 ] || ! grep -q '^ravelle-cli: packet not sent to COM200 ' "$work/missing.err"; then
  echo "a missing port should fail with exit status 1, got $status:" >&2
  cat "$work/missing.err" >&2
  exit 1
fi
echo "a missing port: exit status 1, $(head -n 1 "$work/missing.err")"

echo "--- ravelle-cli.exe through a device server (the virtual sign's TCP port, raw)"
tcp=$(grep -m 1 '^tcp: ' "$work/sign.log")
"$wine_run" "$build/bin/ravelle-cli.exe" --tcp "${tcp#tcp: }" scoreboard NET TCP
wanted='sign: {hold}{fixed}{red}NET{red} 0  {red}TCP{red} 0'
for _ in $(seq 100); do
  grep -qxF "$wanted" "$work/sign.log" && break
  sleep 0.05
done
if ! grep -qxF "$wanted" "$work/sign.log"; then
  echo "the virtual sign does not show the scoreboard sent over TCP:" >&2
  cat "$work/sign.log" >&2
  exit 1
fi
echo "the sign shows: ${wanted#sign: }"
status=0
"$wine_run" "$build/bin/ravelle-cli.exe" --tcp "${tcp#tcp: }" --rfc2217 clear 2>"$work/rfc2217.err" ||
  status=$?
if [ "$status" != 1 ] || ! grep -q 'this build has no RFC 2217' "$work/rfc2217.err"; then
  echo "RFC 2217 without libtelnet should fail with exit status 1, got $status:" >&2
  cat "$work/rfc2217.err" >&2
  exit 1
fi
echo "RFC 2217: exit status 1, $(head -n 1 "$work/rfc2217.err")"
