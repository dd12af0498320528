#!/usr/bin/env bash
# An import whose workbook reads slowly: the window shows "Импорт координат"
# with "Отмена" while the reader runs; Escape there stops the reader process
# at once, and the polygon stays the start-up one (twenty corners). The
# reader is a stand-in that never ends, so the test does not depend on how
# fast a real workbook parses.
source "$(dirname "$0")/lib.sh"
workbook="$(cd "$(dirname "$0")/../data/workbooks" && pwd)/openpyxl.xlsx"
reader="$E2E_TMP/slow-reader"
printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 600\n' "$E2E_TMP/reader.pid" >"$reader"
chmod +x "$reader"
# A scenario that fails before the cancel leaves no stand-in behind.
scenario_cleanup() {
  if [ -s "$E2E_TMP/reader.pid" ]; then kill "$(cat "$E2E_TMP/reader.pid")" 2>/dev/null || true; fi
}
export TARVEL_SHEET_READER="$reader"
mkdir -p "$XDG_CONFIG_HOME/tarvel"
printf '[Tunes]\nGr9=1\n' >"$XDG_CONFIG_HOME/tarvel/tarvel.ini"
start_app
menu $CMD_IMPORT
file_dialog "$workbook"
progress="$(first_window "Импорт координат")"
[ -n "$progress" ] || fail "no progress window"
screenshot import_progress
# The window shows after half a second, which a loaded machine may take to
# start the reader at all.
wait_for_file "$E2E_TMP/reader.pid"
pid="$(cat "$E2E_TMP/reader.pid")"
kill -0 "$pid" 2>/dev/null || fail "the reader is not running"
# The modal progress window has the keyboard, as the file dialog had.
wait_focus "$progress" "the progress window"
xdotool key Escape
poll process_gone "$pid" || true
kill -0 "$pid" 2>/dev/null && fail "the reader runs on after Отмена"
poll window_gone "$progress" || true
xdotool search --onlyvisible --name "Импорт координат" >/dev/null && fail "the progress window stays"
out="$E2E_TMP/after_cancel.squ"
save_as "$out"
[ "$(line 1 "$out")" = "20" ] || fail "count is '$(line 1 "$out")'"
echo "import_cancel: ok"
