#!/usr/bin/env bash
# Runs a Windows build's tests under Wine:
#
#   tests/windows/run-tests.sh [WINDOWS_BUILD [LINUX_SIGNSIM]]
#
# (defaults build/windows and build/ci/bin/ravelle-signsim). First the test
# programs through CTest, then ravelle-cli.exe against the Linux virtual sign,
# then ravelle.exe playing a game on it, driven from outside.
#
# A 64-bit build (build/windows-x64) runs the whole suite under wine64. A
# 32-bit build (build/windows, the programs users get) runs under Wine's
# 32-bit loader, and only what the 32-bit build itself can get wrong: the
# USB road through 32-bit stdcall fakes of the vendor's DLL, serial sends,
# the form. Where this kernel cannot run 32-bit code at all, the 32-bit
# loader runs under qemu's user-mode emulation, registered for 32-bit x86
# programs in a binfmt_misc of the guard's own: nothing changes for the
# machine.
#
# Everything runs in the guard of tests/windows/wine-guard.sh, which hides
# the machine's serial devices from Wine, in a Wine prefix inside the build
# folder, and the only COM ports that lead anywhere are the ones mapped here:
#   COM1  the virtual sign (ravelle-signsim --text)
#   COM2  a far end that reads everything
#   COM3  a far end that never reads
#   COM4  a device that does not exist (an adapter pulled out)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build/windows}")
signsim=$(realpath "${2:-build/ci/bin/ravelle-signsim}")

. tests/windows/wine-guard.sh "$build" "$signsim"

# The build's word size, from the machine field of a program's PE header.
program=$build/bin/ravelle-cli.exe
pe_header=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe_header + 4)) -N2 "$program" | tr -d ' ')
if [ "$machine" = 014c ]; then
  export RAVELLE_WINE_LOADER=/usr/lib/wine/wine WINEARCH=win32
  wine_guard_run_32_bit
  if [ "$wine_guard_emulated" = 1 ]; then
    # The emulator cannot pass on the break that starts every packet (it
    # knows no TIOCSBRK), so no serial send gets through: those run on the
    # 64-bit build, and on a 32-bit one where the kernel runs it natively.
    serial_sends=0
  fi
else
  export RAVELLE_WINE_LOADER=/usr/lib/wine/wine64 WINEARCH=win64
fi
selection=()
if [ "$machine" = 014c ]; then
  # 32-bit Wine is slow here: what only the 32-bit build can get wrong.
  sends='|SerialPortWin32OnMappedPorts.TheSerialRoadSends|Win32FormOnTheSign'
  [ "${serial_sends:-1}" = 1 ] || sends=''
  selection=(-R "UsbRoadTest|UsbConventionWin32|Win32FormSmoke$sends")
fi
wine=$RAVELLE_WINE_LOADER

export WINEPREFIX="$build/wineprefix"
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
  "$wine" wineboot -i >/dev/null 2>&1
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
# Windows are made with Wine's null graphics driver: real windows and
# messages, nothing drawn, no display needed.
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
"$wine" reg delete 'HKLM\Software\Wine\Ports' /f >/dev/null 2>&1 || true
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$sign_pty" /f >/dev/null
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM2 /d "$reading_pty" /f >/dev/null
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM3 /d "$stalled_pty" /f >/dev/null
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM4 /d "$work/no-such-device" /f >/dev/null
# The port links are made when the server starts; one persistent server
# then serves every test program.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p
"$wine" cmd /c exit >/dev/null 2>&1
for port in 1 2 3 4; do
  echo "COM$port -> $(readlink "$WINEPREFIX/dosdevices/com$port")"
done

echo "--- test programs"
RAVELLE_WINE_SIGN_COM=1 RAVELLE_WINE_READING_COM=2 RAVELLE_WINE_STALLED_COM=3 \
  RAVELLE_WINE_MISSING_DEVICE_COM=4 \
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "${selection[@]}"

# Waits a few seconds at most for the virtual sign to show markup.
expect_sign() {
  local wanted="sign: $1"
  for _ in $(seq 100); do
    grep -qxF "$wanted" "$work/sign.log" && break
    sleep 0.05
  done
  if ! grep -qxF "$wanted" "$work/sign.log"; then
    echo "the virtual sign does not show $1:" >&2
    cat "$work/sign.log" >&2
    exit 1
  fi
  echo "the sign shows: $1"
}

if [ "${serial_sends:-1}" = 1 ]; then
  echo "--- ravelle-cli.exe and the virtual sign"
  "$wine_run" "$build/bin/ravelle-cli.exe" --port 1 scoreboard HOM VIS --colors Red Green Amber Yellow
  expect_sign '{hold}{fixed}{red}HOM{green} 0  {amber}VIS{yellow} 0'

  echo "--- ravelle.exe plays a game on the virtual sign"
  settings='HKCU\Software\Norvane\Ravelle'
  "$wine" reg add "$settings" /v Connection /d 'serial port - betabrite classic' /f >/dev/null
  "$wine" reg add "$settings" /v ComPort /t REG_DWORD /d 1 /f >/dev/null
  # A game an earlier run left behind would be offered back first.
  rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/Ravelle/game*
  # drive_ravelle.exe [--resume] plays (or resumes) a game on a ravelle.exe
  # it finds running, then closes it with File > Exit.
  play() {
    "$wine_run" "$build/bin/ravelle.exe" &
    local ravelle=$!
    pids+=("$ravelle")
    "$wine_run" "$build/tests/win32/drive_ravelle.exe" "$@"
    for _ in $(seq 600); do
      kill -0 "$ravelle" 2>/dev/null || return 0
      sleep 0.1
    done
    echo "ravelle.exe did not end after File > Exit" >&2
    exit 1
  }
  game='{hold}{fixed}{red}HOM{red} 6  {red}VIS{red} 3'
  play
  expect_sign "$game"
  # The game is kept: the next start offers it back, and Yes puts it on the
  # sign again.
  shown=$(grep -cxF "sign: $game" "$work/sign.log")
  play --resume
  for _ in $(seq 100); do
    [ "$(grep -cxF "sign: $game" "$work/sign.log")" -gt "$shown" ] && break
    sleep 0.05
  done
  if [ "$(grep -cxF "sign: $game" "$work/sign.log")" -le "$shown" ]; then
    echo "the resumed game did not reach the sign again" >&2
    exit 1
  fi
  echo "resumed, the sign shows it again: $game"
fi
# A missing port, as the operator sees it at the command line: the port by
# its Windows names and the system's reason on one line, and exit status 1.
status=0
"$wine_run" "$build/bin/ravelle-cli.exe" --port 200 clear 2>"$work/missing.err" || status=$?
if [ "$status" != 1 ] ||
  ! head -n 1 "$work/missing.err" | sed 's/\r$//' | grep -qx 'ravelle-cli: packet not sent to COM200 (\\\\\.\\COM200): [^[:cntrl:]]\+'; then
  echo "a missing port should fail with exit status 1, got $status:" >&2
  cat "$work/missing.err" >&2
  exit 1
fi
echo "a missing port: exit status 1, $(head -n 1 "$work/missing.err")"

echo "--- ravelle-cli.exe through a device server (the virtual sign's TCP port, raw)"
tcp=$(grep -m 1 '^tcp: ' "$work/sign.log")
"$wine_run" "$build/bin/ravelle-cli.exe" --tcp "${tcp#tcp: }" scoreboard NET TCP
expect_sign '{hold}{fixed}{red}NET{red} 0  {red}TCP{red} 0'
status=0
"$wine_run" "$build/bin/ravelle-cli.exe" --tcp "${tcp#tcp: }" --rfc2217 clear 2>"$work/rfc2217.err" ||
  status=$?
if [ "$status" != 1 ] || ! grep -q 'this build has no RFC 2217' "$work/rfc2217.err"; then
  echo "RFC 2217 without libtelnet should fail with exit status 1, got $status:" >&2
  cat "$work/rfc2217.err" >&2
  exit 1
fi
echo "RFC 2217: exit status 1, $(head -n 1 "$work/rfc2217.err")"
