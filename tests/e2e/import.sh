#!/usr/bin/env bash
# "Импорт координат из Excel" through the real menu and open dialog reads a
# workbook written by another program (openpyxl, with its absolute part
# names) in the program's reader process; saved again, the six corners are
# in the file as the cells hold them.
source "$(dirname "$0")/lib.sh"
workbook="$(cd "$(dirname "$0")/../data/workbooks" && pwd)/openpyxl.xlsx"
# The import hint is off, as after its check box was ticked.
mkdir -p "$XDG_CONFIG_HOME/tarvel"
printf '[Tunes]\nGr9=1\n' >"$XDG_CONFIG_HOME/tarvel/tarvel.ini"
start_app
faults="$(waited_children_faults)"
menu $CMD_IMPORT
file_dialog "$workbook"
# The reading is over once the program has waited for its reader process,
# and has closed the progress window, which shows when the reading takes
# longer than half a second.
wait_until "end of the reader process" children_faults_above "$faults"
wait_until "closing of the progress window" name_gone "^Импорт координат$"
screenshot import
out="$E2E_TMP/imported.squ"
save_as "$out"
[ "$(line 1 "$out")" = "6" ] || fail "count is '$(line 1 "$out")'"
[ "$(line 2 "$out")" = "1 234,56" ] || fail "X1 is '$(line 2 "$out")'"
[ "$(line 7 "$out")" = " -15,25" ] || fail "X6 is '$(line 7 "$out")'"
[ "$(line 22 "$out")" = "7 890,12" ] || fail "Y1 is '$(line 22 "$out")'"
[ "$(line 27 "$out")" = "7 830,50" ] || fail "Y6 is '$(line 27 "$out")'"
echo "import: ok"
