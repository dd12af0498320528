#!/usr/bin/env bash
# Under a file-size limit (ulimit -f 16: 16 KiB) a person saves a polygon
# whose owner text is 30 kB. The program must not end: it says "Ошибка
# записи файла!", leaves nothing under the chosen name or beside it, and the
# polygon is still unsaved, so leaving asks the save question.
source "$(dirname "$0")/lib.sh"
big="$E2E_TMP/big.squ"
write_polygon "$big" 4 "$(head -c 30000 /dev/zero | tr '\0' 'x')" 0 30 30 0 -- 0 0 40 40
limited="$E2E_TMP/limited.sh"
printf '#!/usr/bin/env bash\nulimit -f 16\nexec "%s" "$@"\n' "$TARVEL" >"$limited"
chmod +x "$limited"
TARVEL="$limited" start_app "$big"
# An edit, so the polygon is unsaved: the first X field.
focus "$WID"
click_in "$WID" $FIRST_X_FIELD
xdotool key ctrl+a
xdotool type --delay 30 "12.5"
xdotool key Tab
mkdir "$E2E_TMP/out"
out="$E2E_TMP/out/plot.squ"
menu $CMD_SAVE_AS
file_dialog "$out"
box="$(first_window '^Ошибка$')"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended: $(cat "$E2E_TMP/app.log")"
[ -n "$box" ] || fail "no error message"
screenshot save_file_size_limit
[ -z "$(ls -A "$E2E_TMP/out")" ] || fail "left in the folder: $(ls -A "$E2E_TMP/out")"
wait_focus "$box" "the error message"
xdotool key Return
wait_until "closing of the error message" window_gone "$box"
# "Выход" asks the save question: the polygon is still unsaved. It is the
# last command of "Файл", after "Недавние файлы" (which holds the file
# opened at the start).
menu_last "$MENU_FILE"
question="$(first_window '^Тарвел$')"
[ -n "$question" ] || fail "leaving did not ask the save question"
echo "save_file_size_limit: ok"
