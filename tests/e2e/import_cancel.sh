#!/usr/bin/env bash
# An import whose workbook reads slowly: the window shows "Импорт координат"
# with "Отмена" while the reader runs; Escape there stops the reader process
# at once, and the polygon stays the start-up one (twenty corners). The
# reader is a stand-in that never ends, so the test does not depend on how
# fast a real workbook parses.
source "$(dirname "$0")/lib.sh"
workbook="$(cd "$(dirname "$0")/../data/workbooks" && pwd)/openpyxl.xlsx"
reader="$E2E_TMP/slow-reader"
printf '#!/bin/sh\necho $$ >"%s"\nexec sleep 60\n' "$E2E_TMP/reader.pid" >"$reader"
chmod +x "$reader"
export TARVEL_SHEET_READER="$reader"
mkdir -p "$XDG_CONFIG_HOME/tarvel"
printf '[Tunes]\nGr9=1\n' >"$XDG_CONFIG_HOME/tarvel/tarvel.ini"
start_app
menu "$MENU_FILE_X" 4
file_dialog "$workbook"
progress="$(first_window 10 "Импорт координат")"
[ -n "$progress" ] || fail "no progress window"
screenshot import_progress
# The window shows after half a second, which a loaded machine may take to
# start the reader at all.
wait_for_file "$E2E_TMP/reader.pid"
pid="$(cat "$E2E_TMP/reader.pid")"
kill -0 "$pid" 2>/dev/null || fail "the reader is not running"
# The modal progress window has the keyboard, as the file dialog had.
xdotool key Escape
for _ in $(seq 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
kill -0 "$pid" 2>/dev/null && fail "the reader runs on after Отмена"
xdotool search --onlyvisible --name "Импорт координат" >/dev/null && fail "the progress window stays"
out="$E2E_TMP/after_cancel.squ"
save_as "$out"
[ "$(line 1 "$out")" = "20" ] || fail "count is '$(line 1 "$out")'"
echo "import_cancel: ok"
