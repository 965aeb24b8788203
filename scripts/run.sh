#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Shakemeter and runs it. When no USB logger is attached,
# the logger simulator is started with a sample memory first and stopped when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
scripts/build.sh default

bin=build/default
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if ! "$bin/tools/shakemeter-cli" devices 2>/dev/null | grep -q ' usb$'; then
  sim_log="${TMPDIR:-/tmp}/qz810-sim-demo.log"
  "$bin/tools/qz810-sim" --memory samples/logged-normal.Vibration --events 2 \
      --tone 12.25:0.5:x,40.1:0.2:y --name qz810-sim-demo >"$sim_log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do [ -s "$sim_log" ] && break; sleep 0.1; done
  echo "No USB logger attached: the logger simulator serves $(head -n 1 "$sim_log") (log: $sim_log)"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: showing the sample recording from the command line instead."
  "$bin/tools/shakemeter-cli" info samples/logged-normal.Vibration
  "$bin/tools/shakemeter-cli" export samples/logged-normal.Vibration /tmp/shakemeter-sample.xls
  echo "Report written to /tmp/shakemeter-sample.xls"
  exit 0
fi
"$bin/shell/app/shakemeter" "$@"
