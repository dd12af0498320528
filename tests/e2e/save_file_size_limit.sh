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
# find_window TITLE_REGEX: up to 10 s; a window that goes while the search
# runs (the file dialog closing) makes one search fail, not the wait.
find_window() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep . && return 0
    sleep 0.2
  done
  return 0
}
# An edit, so the polygon is unsaved: the first X field.
xdotool mousemove 60 117 click 1
xdotool key ctrl+a
xdotool type --delay 30 "12.5"
xdotool key Tab
sleep 0.3
mkdir "$E2E_TMP/out"
out="$E2E_TMP/out/plot.squ"
menu "$MENU_FILE_X" 2
file_dialog "$out"
box="$(find_window '^Ошибка$')"
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended: $(cat "$E2E_TMP/app.log")"
[ -n "$box" ] || fail "no error message"
screenshot save_file_size_limit
[ -z "$(ls -A "$E2E_TMP/out")" ] || fail "left in the folder: $(ls -A "$E2E_TMP/out")"
xdotool key Return
sleep 0.5
# "Выход" asks the save question: the polygon is still unsaved. It comes
# after "Недавние файлы", which holds the file opened at the start.
menu "$MENU_FILE_X" 7
question="$(find_window '^Тарвел$')"
[ -n "$question" ] || fail "leaving did not ask the save question"
echo "save_file_size_limit: ok"
