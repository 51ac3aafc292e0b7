#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: with
# warnings as errors, and again under AddressSanitizer and
# UndefinedBehaviorSanitizer; then the Windows cross build and its tests
# under Wine.
set -euo pipefail
cd "$(dirname "$0")"
deps/install-packages
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
echo "=== fuzz"
# The virtual sign's decoder under libFuzzer for half a minute; the log is
# shown only when it finds something.
cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j "$jobs"
mkdir -p build/fuzz/corpus
build/fuzz/sign_decoder_fuzzer -max_total_time=30 build/fuzz/corpus tests/fuzz/corpus \
  >build/fuzz/fuzz.log 2>&1 || { tail -n 60 build/fuzz/fuzz.log; exit 1; }
tail -n 1 build/fuzz/fuzz.log
for preset in ci asan; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
echo "=== windows"
# The Windows build's tests run under Wine against the Linux build's
# virtual sign, inside the guard that keeps Wine off the machine's serial
# ports (tests/windows/run-tests.sh).
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
tests/windows/run-tests.sh build/windows build/ci/bin/ravelle-signsim
