#!/usr/bin/env bash
# Installs what is missing, checks the layout of the sources, then builds
# and runs every test twice: with warnings as errors, and again under
# AddressSanitizer and UndefinedBehaviorSanitizer. Then it builds the
# Debian package, checks it and runs the programs it holds from a temporary
# folder (nothing is installed into the system). Last come the Windows cross
# builds (32-bit and 64-bit) and their tests under Wine, then the Windows
# installer, built and tried under Wine.
set -euo pipefail
cd "$(dirname "$0")"
deps/install-packages
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
echo "=== test share"
# The tests are kept to about a third of the code: non-blank lines that are
# not only a // comment, in the tracked C and C++ files under a tests/ or
# fuzz/ folder, against all the other tracked C and C++ files.
count() { { xargs -r cat 2>/dev/null || true; } | grep -v -E '^\s*(//.*)?$' | wc -l; }
sources=$(git ls-files | grep -E '\.(cpp|cc|h|hpp|c)$')
test_lines=$(printf '%s\n' "$sources" | grep -E '(^|/)(tests?|fuzz)/' | count)
code_lines=$(printf '%s\n' "$sources" | grep -v -E '(^|/)(tests?|fuzz)/' | count)
echo "Test share: $test_lines test lines against $code_lines code lines ($((100 * test_lines / code_lines)) %)"
echo "=== format"
# The tree stays as clang-format lays it out.
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "=== fuzz"
# The virtual sign's decoder, the settings file parser and the kept game's
# reader under libFuzzer, 20 seconds each; a log is shown only when its fuzzer finds something.
cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j "$jobs"
fuzz() {
  local name=$1 seeds=$2
  mkdir -p "build/fuzz/$name-corpus"
  "build/fuzz/$name" -max_total_time=20 "build/fuzz/$name-corpus" "$seeds" \
    >"build/fuzz/$name.log" 2>&1 || { tail -n 60 "build/fuzz/$name.log"; exit 1; }
  tail -n 1 "build/fuzz/$name.log"
}
fuzz sign_decoder_fuzzer tests/fuzz/corpus
fuzz settings_file_fuzzer tests/fuzz/settings-corpus
fuzz kept_game_fuzzer tests/fuzz/kept-game-corpus
for preset in ci asan; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

echo "=== package"
rm -f build/package/ravelle_*.deb
cmake --workflow --preset package >build/package.log 2>&1 || { tail -n 60 build/package.log; exit 1; }
deb=$(echo build/package/ravelle_*.deb)
version=$(dpkg-deb -f "$deb" Version)
echo "$deb"
lintian --fail-on error,warning "$deb"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg -x "$deb" "$unpacked"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
# The pages refer to each other; until they are installed mandoc cannot find
# them, and says so. Anything else it says is a fault.
for page in "$unpacked"/usr/share/man/man1/*.1.gz; do
  lint=$(mandoc -Tlint "$page" 2>&1 | grep -v 'STYLE: referenced manual not found: Xr ravelle' || true)
  [ -z "$lint" ] || { echo "$lint"; exit 1; }
done

# The unpacked programs, run where they lie, with a settings folder of their
# own.
bin=$unpacked/usr/bin
export XDG_CONFIG_HOME=$unpacked/config
expect() { # expect WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || { echo "$1: expected \"$2\", got \"$3\""; exit 1; }
}
expect "ravelle-cli --version" "ravelle-cli $version" "$("$bin/ravelle-cli" --version)"
expect "ravelle-signsim --version" "ravelle-signsim $version" "$("$bin/ravelle-signsim" --version)"
expect "ravelle --version" "ravelle $version" "$(QT_QPA_PLATFORM=offscreen "$bin/ravelle" --version)"
dump=$("$bin/ravelle-cli" --dump clear)
expect "ravelle-cli --dump clear: packets" 3 "$(grep -c '^packet 00' <<<"$dump")"
# No sign is attached: the library must be found and then report that.
usb=$("$bin/ravelle-cli" --usb clear 2>&1 || true)
if [ -z "$usb" ] || grep -q "Error opening" <<<"$usb"; then
  echo "ravelle-cli --usb clear did not load the package's USB library: $usb"
  exit 1
fi
echo "package checks passed"

echo "=== windows"
# The Windows builds' tests run under Wine against the Linux build's
# virtual sign, inside the guard that keeps Wine off the machine's serial
# ports (tests/windows/run-tests.sh): the whole suite on the 64-bit build,
# then the 32-bit build (the programs users get) on its own tests.
for preset in windows-x64 windows; do
  echo "--- $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  tests/windows/run-tests.sh "build/$preset" build/ci/bin/ravelle-signsim
done
echo "--- windows-package"
# The installer as users get it: the 32-bit release programs packed by wixl,
# its tables read, then installed, upgraded and removed under Wine in the
# same guard (tests/windows/msi-test.sh).
rm -f build/windows-package/ravelle-*-x86.msi
cmake --workflow --preset windows-package >build/windows-package.log 2>&1 ||
  { tail -n 60 build/windows-package.log; exit 1; }
tests/windows/msi-test.sh build/windows-package
