#!/usr/bin/env bash
# Started with a polygon file, as the desktop does on a double click, the
# program shows the file's path in its title.
source "$(dirname "$0")/lib.sh"
file="$E2E_TMP/участок 1.squ"
{
  printf '3\r\n0\r\n4\r\n0\r\n'
  for i in $(seq 4 20); do printf '0\r\n'; done
  printf '0\r\n0\r\n3\r\n'
  for i in $(seq 4 20); do printf '0\r\n'; done
  printf 'owner\r\n'
} >"$file"
start_app "$file"
title="$(window_title "$WID")"
[ "$title" = "Тарвел 3.0   $file" ] || fail "title is '$title'"
screenshot open_from_command_line
echo "open_from_command_line: ok"
