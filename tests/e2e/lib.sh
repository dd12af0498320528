# Shared steps of the end-to-end scenarios: each runs the real program in
# an X server of its own (Xvfb) with its own temporary HOME and XDG folders.
#
# No step waits a guessed time. A step that needs the program to have done
# something asks for the sign of it again and again (a window shown or gone,
# a title, the keyboard's window, a file, a process) until it is there, for
# up to E2E_TIMEOUT seconds; only a hung program meets that bound, and the
# scenario then fails saying what it waited for.
set -euo pipefail

TARVEL="${TARVEL:?path of the tarvel executable}"
ARTIFACTS="${ARTIFACTS:-$(pwd)/e2e-artifacts}"
E2E_TIMEOUT="${E2E_TIMEOUT:-60}"
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
XVFB_PID=""

# stop_process PID: ends a process the scenario started and waits until it
# has gone, so that nothing it writes outlives the scenario's folder.
stop_process() {
  kill "$1" 2>/dev/null || return 0
  local deadline=$((SECONDS + 10))
  while kill -0 "$1" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.1; done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# A scenario may define scenario_cleanup for what it started itself.
cleanup() {
  if declare -F scenario_cleanup >/dev/null; then scenario_cleanup; fi
  [ -n "$APP_PID" ] && stop_process "$APP_PID"
  [ -n "$XVFB_PID" ] && stop_process "$XVFB_PID"
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT
# Stopped from outside (a test runner's time limit, Ctrl+C), the scenario
# still ends its program and its X server.
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# screenshot NAME: saves the screen as an artifact.
screenshot() { import -window root "$ARTIFACTS/$1.png" 2>/dev/null || true; }

fail() { echo "FAIL: $*"; screenshot "failure-$(basename "$0" .sh)"; exit 1; }
# A step that fails without a message of its own still says which it was.
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND"; screenshot "failure-$(basename "$0" .sh)"' ERR

# poll COMMAND...: runs COMMAND every 0.1 s until it succeeds; false when it
# has not within E2E_TIMEOUT seconds. For a scenario whose own check then
# says what is wrong.
poll() {
  local deadline=$((SECONDS + E2E_TIMEOUT))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# wait_until WHAT COMMAND...: as poll, and the scenario fails when WHAT has
# not come.
wait_until() {
  local what="$1"
  shift
  poll "$@" || fail "no $what within $E2E_TIMEOUT s"
}

# The scenario's own X server (tests/support/own_x.sh).
source "$(dirname "${BASH_SOURCE[0]}")/../support/own_x.sh"
start_own_x "$E2E_TMP" "$E2E_TIMEOUT"

# x_report: what a scenario whose program could not reach the X server
# shows of the server.
x_report() {
  echo "X server on $DISPLAY, pid $XVFB_PID: $(kill -0 "$XVFB_PID" 2>/dev/null && echo running || echo ended)"
  cat "$E2E_TMP/xvfb.log"
  xauth -f "$XAUTHORITY" list 2>&1 || true
  xdotool getdisplaygeometry 2>&1 || true
}

# ---------------------------------------------------------------- windows

window_title() { xdotool getwindowname "$1"; }
title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }

# A search that meets a window as it closes (the file dialog's, say) ends
# with an X error, so a failed search is only a try, never the step's end.
visible_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
window_shown() { visible_windows '' | grep -qx "$1"; }
window_gone() { ! window_shown "$1"; }
name_shown() { [ -n "$(visible_windows "$1")" ]; }
name_gone() { ! name_shown "$1"; }

# first_window NAME: the first visible window whose title matches, once
# there is one; empty when none came within E2E_TIMEOUT seconds.
first_window() {
  poll name_shown "$1" || true
  visible_windows "$1" | head -n1
}

# focused_window: the window that has the keyboard; empty when none has
# (the keys then go to the window under the pointer).
focused_window() { xdotool getwindowfocus -f 2>/dev/null || true; }
has_focus() { [ "$(focused_window)" = "$1" ]; }

# focus WINDOW: gives WINDOW the keyboard, as a click on it would, and waits
# until the X server says it has it: keys sent after go to it.
focus() {
  xdotool windowfocus "$1" 2>/dev/null || true
  wait_until "keyboard focus on window $1 ('$(window_title "$1" 2>/dev/null || true)')" has_focus "$1"
}

# wait_focus WINDOW WHAT: waits until the program has given WINDOW the
# keyboard (a dialog takes it as it opens).
wait_focus() { wait_until "keyboard focus on $2" has_focus "$1"; }

# new_focused_window: the window with the keyboard when it is a shown one
# other than the main window.
new_focused_window() {
  local id
  id="$(focused_window)"
  [ -n "$id" ] && [ "$id" != "$WID" ] && window_shown "$id" && echo "$id"
}

# wait_dialog WHAT: waits for a window of the program other than the main
# one to open and take the keyboard, as a modal dialog does; its id is in
# DIALOG.
wait_dialog() {
  poll new_focused_window >/dev/null || fail "no $1 took the keyboard within $E2E_TIMEOUT s"
  DIALOG="$(new_focused_window)"
}

# window_or_end NAME: a window of that title is shown, or the program has
# ended (and will show none).
window_or_end() { name_shown "$1" || ! kill -0 "$APP_PID" 2>/dev/null; }

# start_app [args...]: starts tarvel and waits for its main window.
start_app() {
  "$TARVEL" "$@" >"$E2E_TMP/app.log" 2>&1 &
  APP_PID=$!
  poll window_or_end "Тарвел 3.0" || true
  WID="$(visible_windows "Тарвел 3.0" | head -n1)"
  if [ -z "$WID" ]; then
    echo "FAIL: main window did not appear"
    cat "$E2E_TMP/app.log"
    x_report
    exit 1
  fi
}

# ---------------------------------------------------------------- places
# Where the scenarios click, in pixels from the top left corner of the
# window that holds the control, as `xdotool getwindowgeometry` gives it
# (the window's own area, without any frame a window manager adds). The
# layouts are in twips, 15 to a pixel; the main window's controls sit below
# its 19 px menu bar. Every click reads the window's place anew, so a window
# may be anywhere on the screen.
#
# Main window: the first X field, 480, 1320 twips (32, 88 px) below the
# menu bar.
FIRST_X_FIELD="60 117"
# Main window: the marker of corner 3 of the start-up polygon at 10 m per
# cm, which lies at (256..261, 651..656) px of the drawing; the drawing
# starts under the menu bar.
CORNER_3="258 672"
# Geographic window: "Ввести" in the top bar, and the check box "Точный
# пересчёт (эллипсоид WGS 84)" below it.
GEO_ENTER="229 19"
GEO_EXACT="15 46"
# Sheet ("Ведомость участка"): "Закрыть", 9000 + 690 twips across and
# 9540 + 195 down, and a cell of its table.
SHEET_CLOSE="646 649"
SHEET_TABLE="140 100"

# Menus are reached by the keyboard (open_menu below): F10 opens the first
# menu of the bar, the arrows go along the bar and down a menu, so no place
# on the screen (which depends on the font's widths) is needed. The
# commands the scenarios choose, as "PLACE N": the menu's place on the bar
# from the left (0 is "Файл"), and the command's place in its menu counting
# only the commands that can be chosen, as the keys do (they pass over
# separators and greyed items: "Недавние файлы" is greyed while it is
# empty). "Выход" and "Ведомость участка" end their menus: menu_last.
MENU_FILE=0
MENU_TOOLS=1
CMD_OPEN="0 1"       # Файл -> Открыть
CMD_SAVE_AS="0 4"    # Файл -> Сохранить как... (after "Открыть выписку ЕГРН", "Сохранить")
CMD_EXPORT="0 5"     # Файл -> Экспорт (a submenu; its first command: Экспорт координат в Excel)
CMD_IMPORT="0 6"     # Файл -> Импорт координат из Excel
CMD_PRINT="0 7"      # Файл -> Печать
CMD_GEOGRAPHIC="1 9" # Инструменты -> Ввод географических координат (град мин сек)
CMD_HELP="3 1"       # Помощь -> Краткая справка

# origin WINDOW: "X Y", the window's top left corner on the screen.
origin() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y"
}

# click_in WINDOW DX DY: a click DX, DY px from the window's corner.
click_in() {
  local ox oy
  read -r ox oy <<<"$(origin "$1")"
  xdotool mousemove "$((ox + $2))" "$((oy + $3))" click 1
}

# new_window SHOWN [NOT]: a shown window that is not among the ids in SHOWN
# (a list of lines) and is not NOT.
new_window() {
  local id
  for id in $(visible_windows ''); do
    grep -qx "$id" <<<"$1" && continue
    [ "$id" = "${2:-}" ] && continue
    echo "$id"
    return 0
  done
  return 1
}

# open_menu PLACE: opens the menu at PLACE on the main window's bar, one key
# at a time. Each key waits until the menu it opens is on the screen: keys
# sent ahead of a slow program reach its menus before the window system's
# own events about the menus shown and hidden before, which then take the
# active item away again. The pointer goes to the screen's corner first, out
# of the way of the menus, whose items follow the pointer, and of the
# tooltips, which are windows too.
#
# F10 opens the first menu with no item active; Right opens the next one
# with its first item active. FIRST_ACTIVE says which it was.
open_menu() {
  local screen_w screen_h before popup
  read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"
  xdotool mousemove "$((screen_w - 1))" "$((screen_h - 1))"
  focus "$WID"
  before="$(visible_windows '')"
  xdotool key F10
  poll new_window "$before" >/dev/null || fail "F10 opened no menu"
  popup="$(new_window "$before")"
  FIRST_ACTIVE=0
  for _ in $(seq "$1"); do
    xdotool key Right
    poll new_window "$before" "$popup" >/dev/null || fail "Right opened no next menu"
    popup="$(new_window "$before" "$popup")"
    FIRST_ACTIVE=1
  done
}

# menu PLACE N: chooses the N-th command of a menu (of those that can be
# chosen: the keys pass over separators and greyed items).
menu() {
  open_menu "$1"
  local keys=()
  for _ in $(seq $((FIRST_ACTIVE + 1)) "$2"); do keys+=(Down); done
  xdotool key "${keys[@]}" Return
}

# menu_last PLACE: chooses the last command of a menu: Up goes there from
# no active item, and round from the first.
menu_last() {
  open_menu "$1"
  xdotool key Up Return
}

# file_dialog PATH: types a full path into the file dialog that opens and
# accepts it; returns when the dialog has closed.
file_dialog() {
  wait_dialog "file dialog"
  local dialog="$DIALOG" attempt
  for attempt in 1 2 3; do
    xdotool key ctrl+a
    # The delay is xdotool's own need, between the keys it types.
    xdotool type --delay 15 "$1"
    xdotool key Return
    E2E_TIMEOUT=$((E2E_TIMEOUT / 3)) poll window_gone "$dialog" && return 0
    # Still open: on a machine loaded to the full a key of the name can be
    # lost, and the dialog then waits for a name it can open. It has the
    # keyboard again before the name is typed once more.
    window_gone "$dialog" && return 0
    xdotool windowactivate --sync "$dialog" 2>/dev/null || true
  done
  fail "no closing of the file dialog within $E2E_TIMEOUT s"
}

# ---------------------------------------------------------------- files

file_written() { [ -s "$1" ]; }

# wait_for_file PATH: waits for a file to appear with some content (the
# program writes its files beside the target and renames them: what
# appears is whole).
wait_for_file() {
  poll file_written "$1" || fail "file $1 was not written"
}

# line N FILE: line N of a file with its CR LF removed.
line() { sed -n "${1}p" "$2" | tr -d '\r'; }

# save_as PATH: "Файл" -> "Сохранить как..." through the real dialog.
save_as() {
  menu $CMD_SAVE_AS
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

# ---------------------------------------------------------------- processes

process_gone() { ! kill -0 "$1" 2>/dev/null; }

# waited_children_faults: the page faults of the program's children that it
# has waited for (proc(5), field 11 of /proc/PID/stat). Every program that
# runs faults in pages, so the number grows when a child of the program has
# ended and the program has taken its exit status, however short it ran.
waited_children_faults() {
  local stat
  stat="$(cat "/proc/$APP_PID/stat")"
  stat="${stat##*) }" # the fields after the command's name, from field 3
  read -r -a fields <<<"$stat"
  echo "${fields[8]}"
}
children_faults_above() { (($(waited_children_faults) > $1)); }
