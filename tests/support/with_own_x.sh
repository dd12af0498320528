#!/usr/bin/env bash
# Runs a command in an X server of its own: Xvfb picks a free display and
# says which (-displayfd), so runs side by side never race for a number, as
# xvfb-run -a does. The server ends with the command.
#   with_own_x.sh command [args...]
set -euo pipefail
work="$(mktemp -d)"
xvfb=""
finish() {
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP

export XAUTHORITY="$work/Xauthority"
cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
: >"$XAUTHORITY"
xauth -q -f "$XAUTHORITY" add :0 . "$cookie"
mkfifo "$work/displayfd"
# Opened for reading and writing, so that neither end waits for the other.
exec {fd}<>"$work/displayfd"
# -noreset: the server must not reset when a short-lived client leaves just
# as the program connects.
Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp -noreset -auth "$XAUTHORITY" \
  </dev/null >"$work/xvfb.log" 2>&1 &
xvfb=$!
number=""
deadline=$((SECONDS + 60))
until read -r -t 1 -u "$fd" number; do
  if ! kill -0 "$xvfb" 2>/dev/null || ((SECONDS >= deadline)); then
    echo "FAIL: Xvfb gave no display" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
done
exec {fd}<&-
export DISPLAY=":$number"
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
"$@"
