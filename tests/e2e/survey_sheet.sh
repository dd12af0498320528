#!/usr/bin/env bash
# "Ведомость участка" in the real program: the last item of "Инструменты"
# opens the sheet beside the main window; "Закрыть" and Escape close it, and
# the menu brings it back.
source "$(dirname "$0")/lib.sh"
start_app

open_sheet() {
  menu_last "$MENU_TOOLS"
  SID="$(first_window "^Ведомость участка$")"
  [ -n "$SID" ] || fail "the sheet did not open"
  # Wholly on the screen, wherever it opened; the clicks below go by the
  # place it has then.
  timeout "$E2E_TIMEOUT" xdotool windowmove --sync "$SID" 560 300 ||
    fail "the sheet did not move"
}
sheet_shown() { xdotool search --onlyvisible --name "^Ведомость участка$" >/dev/null 2>&1; }
sheet_closed() { ! sheet_shown; }
wait_closed() {
  poll sheet_closed || fail "$1 did not close the sheet"
}

open_sheet
screenshot survey_sheet
click_in "$SID" $SHEET_CLOSE
wait_closed "Закрыть"

open_sheet
# A click into the table gives the window the keys.
click_in "$SID" $SHEET_TABLE
wait_focus "$SID" "the sheet"
xdotool key Escape
wait_closed "Escape"
echo "survey_sheet: ok"
