#!/usr/bin/env bash
# Installs what is missing, builds the programs and starts Ravelle.
set -euo pipefail
cd "$(dirname "$0")"
deps/install-packages
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/tools/cli/ravelle-cli "$@"
