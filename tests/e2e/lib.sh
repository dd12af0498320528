# Shared steps of the end-to-end scenarios: each runs the real program in
# its own Xvfb display with its own temporary HOME and XDG folders.
set -euo pipefail

TARVEL="${TARVEL:?path of the tarvel executable}"
ARTIFACTS="${ARTIFACTS:-$(pwd)/e2e-artifacts}"
mkdir -p "$ARTIFACTS"

E2E_TMP="$(mktemp -d)"
export HOME="$E2E_TMP/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share"
export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
# No browser may be started by the program's web page at close.
export BROWSER=true

APP_PID=""
cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT

# start_app [args...]: starts tarvel and waits for its main window.
start_app() {
  "$TARVEL" "$@" >"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
  WID="$(timeout 30 xdotool search --sync --onlyvisible --name "Тарвел 3.0" | head -n1)"
  [ -n "$WID" ] || { echo "main window did not appear"; cat "$E2E_TMP/app.log"; exit 1; }
}

# screenshot NAME: saves the screen as an artifact.
screenshot() { import -window root "$ARTIFACTS/$1.png" 2>/dev/null || true; }

window_title() { xdotool getwindowname "$1"; }

fail() { echo "FAIL: $*"; screenshot "failure-$(basename "$0" .sh)"; exit 1; }
