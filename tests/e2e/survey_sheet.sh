#!/usr/bin/env bash
# "Ведомость участка" in the real program: the last item of "Инструменты"
# opens the sheet beside the main window; "Закрыть" and Escape close it, and
# the menu brings it back.
source "$(dirname "$0")/lib.sh"
start_app

open_sheet() {
  xdotool mousemove "$MENU_TOOLS_X" "$MENU_Y" click 1
  sleep 0.5
  xdotool key Up # from the top, Up lands on the last item
  xdotool key Return
  SID="$(first_window 10 "^Ведомость участка$")"
  [ -n "$SID" ] || fail "the sheet did not open"
  # No window manager: the window goes where it is told.
  xdotool windowmove "$SID" 560 300
  sleep 0.8
}
sheet_shown() { xdotool search --onlyvisible --name "^Ведомость участка$" >/dev/null 2>&1; }
wait_closed() {
  for _ in $(seq 25); do sheet_shown || return 0; sleep 0.2; done
  fail "$1 did not close the sheet"
}

open_sheet
screenshot survey_sheet
# "Закрыть": 9000 + 690 twips across, 9540 + 195 down, 15 twips a pixel.
xdotool mousemove 1206 949 click 1
wait_closed "Закрыть"

open_sheet
# A click into the table gives the window the keys.
xdotool mousemove 700 400 click 1
sleep 0.3
xdotool key Escape
wait_closed "Escape"
echo "survey_sheet: ok"
