#!/usr/bin/env bash
# "Экспорт координат в Excel" through the real menu and save dialog writes a
# workbook that reads back with the corners in force, under the heading X, Y:
# the twenty of the start-up polygon.
source "$(dirname "$0")/lib.sh"
SHEET_DUMP="${SHEET_DUMP:?path of sheet_dump}"
start_app
out="$E2E_TMP/coords.xlsx"
menu $CMD_EXPORT
# Return opens the submenu with its first command, the workbook, active.
xdotool key Return
file_dialog "$out"
wait_for_file "$out"
screenshot export
rows="$("$SHEET_DUMP" "$out")" || fail "the workbook does not read back"
# The heading, then the twenty corners.
[ "$(printf '%s\n' "$rows" | wc -l)" -eq 21 ] || fail "not a heading and twenty rows"
[ "$(printf '%s\n' "$rows" | sed -n 1p)" = "$(printf 'X\tY')" ] || fail "row 1 is '$(printf '%s\n' "$rows" | sed -n 1p)'"
[ "$(printf '%s\n' "$rows" | sed -n 2p)" = "$(printf '26\t30')" ] || fail "row 2 is '$(printf '%s\n' "$rows" | sed -n 2p)'"
[ "$(printf '%s\n' "$rows" | sed -n 7p)" = "$(printf '101\t110')" ] || fail "row 7 is wrong"
echo "export: ok"
