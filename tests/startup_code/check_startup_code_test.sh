#!/usr/bin/env bash
# The start-up code check must fail where the start-up code is not first:
#   check_startup_code_test.sh CHECK PROGRAM OTHER_PROGRAM
# PROGRAM is the program; OTHER_PROGRAM is linked without the list.
set -uo pipefail
check="$1" program="$2" other="$3"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
status=0
expect_failure() { # $1: what, then the check's arguments
  local what="$1"; shift
  if bash "$check" "$@" >"$dir/out" 2>&1; then
    echo "not caught: $what"; cat "$dir/out"; status=1
  else
    echo "caught: $what ($(tail -n 1 "$dir/out"))"
  fi
}
# Four functions that no longer exist beside one that does: a stale list.
{
  echo 'SECTIONS { .text.startup_first : {'
  for n in gone1 gone2 gone3 gone4; do echo "    *(.text._ZN6tarvel4$n)"; done
  echo '    *(.text.main)'
  echo '} } INSERT BEFORE .text;'
} >"$dir/stale.ld"
expect_failure "a stale list" "$program" "$dir/stale.ld"
# A list of the about box's functions, which the program was not linked to
# place first.
{
  echo 'SECTIONS { .text.startup_first : {'
  for n in 11cmdOK_ClickEv 11Form_UnloadEv 10closeEventEP11QCloseEvent; do
    echo "    *(.text._ZN6tarvel16settings_windows8FrmAbout$n)"
  done
  echo '} } INSERT BEFORE .text;'
} >"$dir/elsewhere.ld"
expect_failure "listed functions the link left in place" "$program" "$dir/elsewhere.ld"
# A program that was linked without the list has no start-up section.
printf '    *(.text.main)\n' >"$dir/main.ld"
expect_failure "a program linked without the list" "$other" "$dir/main.ld"
# An empty list.
: >"$dir/empty.ld"
expect_failure "a list naming no function" "$program" "$dir/empty.ld"
exit "$status"
