# Sourced first thing by every script that runs Windows programs under Wine:
#
#   . tests/windows/wine-guard.sh "$@"
#
# Wine maps every serial device of the machine (/dev/ttyS*, /dev/ttyUSB*,
# /dev/ttyACM*) to a COM port on its own, and /dev/ttyS0 may be the kernel's
# console. So the sourcing script runs again in a private user and mount
# namespace with /dev/null over each of them (cmake/wine-run.sh checks for
# that), with a wineserver folder of its own. Nothing changes for the
# machine.
if [ "${RAVELLE_WINE_GUARDED:-}" != 1 ]; then
  exec env RAVELLE_WINE_GUARDED=1 unshare --user --map-root-user --mount --propagation private \
    "$0" "$@"
fi
for device in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM*; do
  if [ -e "$device" ]; then mount --bind /dev/null "$device"; fi
done
# Wine's programs find their server through a socket under /tmp/.wine-UID;
# a private folder there means they only ever meet the server started here,
# inside the guard, never one a program outside it started.
mkdir -p "/tmp/.wine-$(id -u)"
mount -t tmpfs -o mode=0700 tmpfs "/tmp/.wine-$(id -u)"
# No window, no Mono or Gecko download prompts, and no menu builder: it
# would turn every Start-menu shortcut an installer makes into a desktop
# entry and icons in the user's home.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

# Makes Wine's 32-bit loader runnable. Where this kernel cannot run 32-bit
# code at all, the loader runs under qemu's user-mode emulation, registered
# for 32-bit x86 programs in a binfmt_misc of the guard's own; then
# wine_guard_emulated is 1.
wine_guard_emulated=0
wine_guard_run_32_bit() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then return; fi
  wine_guard_emulated=1
  echo "--- this kernel runs no 32-bit code: 32-bit Wine under qemu-i386"
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  local elf32='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":ravelle-i386:M::$elf32:$mask:/usr/bin/qemu-i386:POCF" >/proc/sys/fs/binfmt_misc/register
  /usr/lib/wine/wine --version >/dev/null
}
