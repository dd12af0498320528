#!/usr/bin/env bash
# Runs a command in an X server of its own: Xvfb picks a free display and
# says which (-displayfd), so runs side by side never race for a number, as
# xvfb-run -a does. The server ends with the command.
#   with_own_x.sh command [args...]
set -euo pipefail
work="$(mktemp -d)"
XVFB_PID=""
finish() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP

source "$(dirname "${BASH_SOURCE[0]}")/own_x.sh"
start_own_x "$work" 60
"$@"
