#!/usr/bin/env bash
# Checks the Windows installer that `cmake --workflow --preset windows-package`
# made:
#
#   tests/windows/msi-test.sh [WINDOWS_PACKAGE_BUILD]   (default build/windows-package)
#
# First its tables, read with msiinfo; then, under Wine in the guard that
# hides the machine's serial ports and in a new 64-bit prefix (where a
# 32-bit package lands in Program Files (x86), as on 64-bit Windows): a
# silent install, what it installed, the installed ravelle-cli.exe, another
# build of the same version, an upgrade by the same installer under a
# higher version, a refused downgrade, and a silent uninstall that leaves
# the user's settings alone.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build/windows-package}")
. tests/windows/wine-guard.sh "$build"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
msi=$build/ravelle-$version-x86.msi
home_page=$(sed -n 's/.*kHomePageAddress = "\(.*\)".*/\1/p' res/LinkAddresses.h)
# Installs of every earlier release are found by this code: it never changes.
upgrade_code='{60D76031-5AF9-4F85-8351-E620A759CB5C}'
work=$(mktemp -d)
finish() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

fail() {
  echo "msi-test: $*" >&2
  exit 1
}
expect() { # expect WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || fail "$1: expected \"$2\", got \"$3\""
}
# table NAME: the rows of one of the installer's tables, cells parted by
# tabs. Binary cells land in files under the work folder (Icon/...).
table() { (cd "$work" && msiinfo export "$msi" "$1") | tr -d '\r' | tail -n +4; }
# cell TABLE KEY COLUMN: a cell of the row whose first cell is KEY.
cell() { table "$1" | awk -F'\t' -v key="$2" -v column="$3" '$1 == key { print $column }'; }

echo "--- the tables of $(basename "$msi")"
expect "summary: template (a 32-bit package)" "Intel;1033" \
  "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')"
for property in "ProductName=Ravelle" "ProductVersion=$version" "Manufacturer=The Ravelle developers" \
  "UpgradeCode=$upgrade_code" "ALLUSERS=1" "ARPURLINFOABOUT=$home_page" "ARPPRODUCTICON=ravelle.ico"; do
  expect "property ${property%%=*}" "${property#*=}" "$(cell Property "${property%%=*}" 2)"
done
expect "product code (a new one each build)" 1 \
  "$(cell Property ProductCode 2 | grep -c -E '^\{[0-9A-F-]{36}\}$')"
# Exactly the two programs and the licence: no USB library among them.
expect "files" "LICENSE.txt ravelle-cli.exe ravelle.exe" \
  "$(table File | cut -f 3 | sort | xargs)"
expect "install folder" "ProgramFilesFolder Ravelle" "$(cell Directory INSTALLDIR 2) $(cell Directory INSTALLDIR 3)"
expect "shortcut: folder, target, icon" "ProgramMenuFolder [#ravelle.exe] ravelle.ico" \
  "$(table Shortcut | awk -F'\t' '$3 == "Ravelle" { print $2, $5, $9 }')"
expect "icon" "ravelle.ico" "$(table Icon | cut -f 1)"
cmp "$work/Icon/Icon.ravelle.ico" "$build/win32/ravelle.ico" || fail "the icon is not the program's"
grep -q "A newer version of Ravelle is already installed" <<<"$(table LaunchCondition)" ||
  fail "no launch condition refuses a downgrade"
echo "the tables hold what they should"

echo "--- a new Wine prefix"
# The programs are 32-bit; the installer runs under 64-bit Wine.
wine_guard_run_32_bit
export WINEPREFIX=$build/msi-wineprefix WINEARCH=win64
wine64=/usr/lib/wine/wine64
rm -rf "$WINEPREFIX"
"$wine64" wineboot -i >/dev/null 2>&1
folder="$WINEPREFIX/drive_c/Program Files (x86)/Ravelle"
uninstall_keys='HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
settings_key='HKCU\Software\Norvane\Ravelle'

# msiexec MSI_ARGUMENT... : runs msiexec silently with a log in the work
# folder; returns its status (Wine keeps only the low 8 bits of it).
msiexec() {
  local log
  log="$work/msiexec-$(date +%s%N).log"
  "$wine64" msiexec "$@" /qn /l*v "Z:${log//\//\\}" && return
  local status=$?
  echo "msiexec $* failed with status $status; its log: $log" >&2
  return "$status"
}
windows_path() { echo "Z:${1//\//\\}"; }
# The Installed-apps entries named Ravelle, one line each: the version, the
# publisher, the home page and the readme (the licence), parted by "; ".
ravelle_entries() {
  "$wine64" reg query "$uninstall_keys" /s | tr -d '\r' | awk '
    function flush() {
      if (value["DisplayName"] == "Ravelle")
        print value["DisplayVersion"] "; " value["Publisher"] "; " value["URLInfoAbout"] "; " value["ReadMe"]
      split("", value)
    }
    /^HKEY/ { flush() }
    /^    [^ ]+    REG_/ { name = $1; sub(/^    [^ ]+    REG_[A-Z_]+/, ""); sub(/^    /, ""); value[name] = $0 }
    END { flush() }'
}
# What the entry of VERSION reads.
entry() { echo "$1; The Ravelle developers; $home_page; C:\\Program Files (x86)\\Ravelle\\LICENSE.txt"; }
shortcuts() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Ravelle.lnk'; }

# The user's settings, saved before Ravelle is installed, must outlive it.
"$wine64" reg add "$settings_key" /v ComPort /t REG_DWORD /d 3 /f >/dev/null

echo "--- msiexec /i $(basename "$msi") /qn"
msiexec /i "$(windows_path "$msi")"
expect "installed files" "LICENSE.txt ravelle-cli.exe ravelle.exe" "$(ls "$folder" | xargs)"
for program in ravelle.exe ravelle-cli.exe; do
  cmp "$folder/$program" "$build/packaging/msi/$program" || fail "$program differs from the build's"
done
expect "shortcuts" 1 "$(shortcuts | wc -l)"
grep -a -q -i 'Ravelle\\ravelle.exe' "$(shortcuts)" || fail "the shortcut does not lead to ravelle.exe"
expect "Installed-apps entry" "$(entry "$version")" "$(ravelle_entries)"
# Installed apps shows the icon the installer keeps for the product.
icon=$("$wine64" reg query 'HKLM\Software\Classes\Installer\Products' /s | tr -d '\r' |
  awk '$1 == "ProductIcon" { sub(/^.*REG_SZ    C:/, ""); print }' | tr '\\' /)
cmp "$WINEPREFIX/drive_c$icon" "$build/win32/ravelle.ico" || fail "Installed apps shows no icon of the program's"
expect "installed ravelle-cli.exe --version" "ravelle-cli $version" \
  "$(/usr/lib/wine/wine "$folder/ravelle-cli.exe" --version | tr -d '\r')"
echo "installed: $(ls "$folder" | xargs), a shortcut, the entry $(ravelle_entries)"

# build_msi VERSION: the same installer under another version, and with a
# product code of its own, as every build has.
build_msi() {
  local out=$work/ravelle-$1-x86.msi
  (cd "$build/packaging/msi" && wixl --arch x86 --define "Version=$1" --output "$out" ravelle.wxs \
    2>"$work/wixl.log") || { cat "$work/wixl.log" >&2; fail "wixl failed"; }
  echo "$out"
}

# A second build of the same version replaces the first, not beside it.
rebuilt_msi=$(build_msi "$version")
[ "$(msi=$rebuilt_msi cell Property ProductCode 2)" != "$(cell Property ProductCode 2)" ] ||
  fail "two builds of the installer share a product code"
echo "--- msiexec /i $(basename "$rebuilt_msi") /qn: another build of the same version"
msiexec /i "$(windows_path "$rebuilt_msi")"
expect "Installed-apps entries after a second build of $version" "$(entry "$version")" \
  "$(ravelle_entries)"

# The next release.
IFS=. read -r major minor patch <<<"$version"
next=$major.$minor.$((patch + 1))
next_msi=$(build_msi "$next")
echo "--- msiexec /i $(basename "$next_msi") /qn: an upgrade"
msiexec /i "$(windows_path "$next_msi")"
expect "Installed-apps entries after the upgrade" "$(entry "$next")" "$(ravelle_entries)"
expect "files after the upgrade" "LICENSE.txt ravelle-cli.exe ravelle.exe" "$(ls "$folder" | xargs)"
expect "shortcuts after the upgrade" 1 "$(shortcuts | wc -l)"

echo "--- msiexec /i $(basename "$msi") /qn: a downgrade, to be refused"
status=0
msiexec /i "$(windows_path "$msi")" 2>/dev/null || status=$?
# ERROR_INSTALL_FAILURE, 1603, of which Wine passes on the low 8 bits.
expect "status of the refused downgrade" $((1603 % 256)) "$status"
expect "Installed-apps entries after the refused downgrade" "$(entry "$next")" \
  "$(ravelle_entries)"

echo "--- msiexec /x $(basename "$next_msi") /qn"
msiexec /x "$(windows_path "$next_msi")"
[ ! -e "$folder" ] || fail "the program folder outlived the uninstall: $(ls -A "$folder" | xargs)"
expect "shortcuts after the uninstall" "" "$(shortcuts)"
expect "Installed-apps entries after the uninstall" "" "$(ravelle_entries)"
expect "the user's settings after the uninstall" "0x3" \
  "$("$wine64" reg query "$settings_key" /v ComPort | tr -d '\r' | awk '$1 == "ComPort" { print $3 }')"
echo "uninstalled: no files, no shortcut, no entry; the user's settings stay"
