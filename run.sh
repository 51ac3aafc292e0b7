#!/usr/bin/env bash
# Installs what is missing, builds the programs and starts Ravelle.
set -euo pipefail
cd "$(dirname "$0")"
deps/install-packages
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target ravelle ravelle-cli ravelle-signsim

# With no sign at hand, the virtual sign stands in for one: its window shows
# what the sign would show, its reports go to this terminal, and COM port 1
# leads to it. RAVELLE_SIGNSIM=0, or RAVELLE_COM1 already set, reaches a real
# sign instead.
if [ "${RAVELLE_SIGNSIM:-1}" != 0 ] && [ -z "${RAVELLE_COM1:-}" ]; then
  coproc SIGNSIM { exec build/release/bin/ravelle-signsim; }
  signsim_pid=$SIGNSIM_PID
  exec {signsim_output}<&"${SIGNSIM[0]}"
  trap 'kill "$signsim_pid" 2>/dev/null || true' EXIT
  # Its first line is the path of its serial end.
  read -r RAVELLE_COM1 <&"$signsim_output"
  export RAVELLE_COM1
  echo "Virtual sign on COM1 ($RAVELLE_COM1)" >&2
  cat <&"$signsim_output" >&2 &
fi

# Not exec: the EXIT trap stops the virtual sign when Ravelle ends.
build/release/bin/ravelle "$@"
