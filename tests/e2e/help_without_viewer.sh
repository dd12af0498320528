#!/usr/bin/env bash
# "Краткая справка" on a desktop with no program for PDF documents opens the
# help in the program's own window, rather than handing Help.pdf to an
# opener that shows nothing.
source "$(dirname "$0")/lib.sh"
# A desktop with the system's MIME types but no installed application,
# whose opener starts and reports success whatever it is given, as xdg-open
# does when it falls back to $BROWSER.
export XDG_DATA_DIRS="$E2E_TMP/no-applications"
mkdir -p "$XDG_DATA_DIRS" "$E2E_TMP/bin"
ln -s /usr/share/mime "$XDG_DATA_DIRS/mime"
printf '#!/bin/sh
exit 0
' >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"
start_app
menu $CMD_HELP
help="$(first_window "^Краткая справка$")"
[ -n "$help" ] || fail "the built-in help did not open"
screenshot help_without_viewer
echo "help_without_viewer: ok"
