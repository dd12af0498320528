#!/usr/bin/env bash
# "Печать" through the real print dialog: the print support loads when it is
# first needed, and printing to a file gives a page with the polygon's
# table and area.
source "$(dirname "$0")/lib.sh"
start_app
menu $CMD_PRINT
wait_dialog "print dialog"
screenshot print_dialog
# With no printer installed the dialog offers printing to a PDF file in the
# home folder; accept it as it stands.
xdotool key Return
pdf="$HOME/print.pdf"
wait_for_file "$pdf"
# The page goes into the file as it is printed: the file is whole once it
# ends in the PDF's end-of-file line, written last.
pdf_whole() { tail -c 16 "$1" | grep -q '%%EOF'; }
poll pdf_whole "$pdf" || true
[ "$(head -c 5 "$pdf")" = "%PDF-" ] || fail "print.pdf is not a PDF"
if command -v pdftotext >/dev/null; then
  text="$(pdftotext "$pdf" -)"
  grep -q "10 700,00" <<<"$text" || fail "the page lacks the area: $text"
  grep -q "176,00" <<<"$text" || fail "the page lacks the coordinates: $text"
fi
screenshot print
echo "print: ok"
