#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: with
# warnings as errors, and again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
deps/install-packages
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
echo "=== fuzz"
# The virtual sign's decoder and the settings file parser under libFuzzer,
# 20 seconds each; a log is shown only when its fuzzer finds something.
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
for preset in ci asan; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
