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
  WID="$(first_window 30 "Тарвел 3.0")"
  [ -n "$WID" ] || { echo "main window did not appear"; cat "$E2E_TMP/app.log"; exit 1; }
}

# screenshot NAME: saves the screen as an artifact.
screenshot() { import -window root "$ARTIFACTS/$1.png" 2>/dev/null || true; }

window_title() { xdotool getwindowname "$1"; }

fail() { echo "FAIL: $*"; screenshot "failure-$(basename "$0" .sh)"; exit 1; }
# A step that fails without a message of its own still says which it was.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND"; screenshot "failure-$(basename "$0" .sh)"' ERR

# first_window SECONDS NAME: the first visible window whose title matches,
# asked again every 0.2 s for up to SECONDS; empty when none came. A search
# that meets a window as it closes (the file dialog's, say) ends with an X
# error, so a failed search is only a try, never the step's end.
first_window() {
  local tries=$(( $1 * 5 )) id=""
  for _ in $(seq "$tries"); do
    id="$({ xdotool search --onlyvisible --name "$2" 2>/dev/null || true; } | head -n1)"
    [ -n "$id" ] && break
    sleep 0.2
  done
  echo "$id"
}

# Positions on the main window (no window manager: it sits at 0,0). The menu
# bar titles, and the first X field of the table.
MENU_FILE_X=20
MENU_TOOLS_X=95
MENU_Y=9

# menu TITLE_X N: opens a menu and chooses its N-th command with the keys.
menu() {
  xdotool mousemove "$1" "$MENU_Y" click 1
  sleep 0.5
  for _ in $(seq "$2"); do xdotool key Down; done
  xdotool key Return
  sleep 0.8
}

# file_dialog PATH: types a full path into the open file dialog and accepts.
file_dialog() {
  sleep 0.5
  xdotool key ctrl+a
  xdotool type --delay 15 "$1"
  sleep 0.3
  xdotool key Return
}

# wait_for_file PATH: up to 10 s for a file to appear.
wait_for_file() {
  for _ in $(seq 50); do [ -s "$1" ] && return 0; sleep 0.2; done
  fail "file $1 was not written"
}

# line N FILE: line N of a file with its CR LF removed.
line() { sed -n "${1}p" "$2" | tr -d '\r'; }

# save_as PATH: "Файл" -> "Сохранить как..." through the real dialog.
save_as() {
  menu "$MENU_FILE_X" 2
  file_dialog "$1"
  wait_for_file "$1"
}

# write_polygon FILE COUNT OWNER X... -- Y...: a 42-line polygon file in
# CR LF lines; corners not given are 0.
write_polygon() {
  local file="$1" count="$2" owner="$3"; shift 3
  local xs=() ys=() side=x
  for v in "$@"; do
    if [ "$v" = "--" ]; then side=y; continue; fi
    if [ "$side" = x ]; then xs+=("$v"); else ys+=("$v"); fi
  done
  {
    printf '%s\r\n' "$count"
    for i in $(seq 0 19); do printf '%s\r\n' "${xs[$i]:-0}"; done
    for i in $(seq 0 19); do printf '%s\r\n' "${ys[$i]:-0}"; done
    printf '%s\r\n' "$owner"
  } >"$file"
}
