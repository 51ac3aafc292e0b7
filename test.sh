#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: with
# warnings as errors, and again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
deps/install-packages
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
for preset in ci asan; do
  echo "=== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
