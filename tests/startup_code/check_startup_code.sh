#!/usr/bin/env bash
# Checks that the program's start-up code really is placed first:
#   check_startup_code.sh PROGRAM LIST
# LIST is the linker script that names the start-up functions' sections.
# Fails when the program has no such section, when more than a tenth of the
# listed functions that exist lie outside it (the link did not follow the
# list; a few may, where the compiler folded a function into another one with
# the same code, whose section holds both names), or when fewer
# than half of the listed functions still exist (the list is stale and
# start-up memory grows again: run scripts/order-startup-code). Half, not
# all: the list is written on one Debian release, and another one's
# compiler and Qt name some template code and clones differently.
set -euo pipefail
program="$1" list="$2"

range="$(readelf -SW "$program" | awk '$2 == ".text.startup_first" { print $4, $6 }')"
if [ -z "$range" ]; then
  echo "FAIL: $program has no .text.startup_first section" >&2
  exit 1
fi
read -r start size <<<"$range"

# One name per listed function section: "*(.text.NAME)" -> NAME.
sed -n 's/^ *\*(\.text\.\([^ )]*\))$/\1/p' "$list" >"${TMPDIR:-/tmp}/startup-listed.$$"
trap 'rm -f "${TMPDIR:-/tmp}/startup-listed.$$"' EXIT
listed="$(wc -l <"${TMPDIR:-/tmp}/startup-listed.$$")"
if ((listed == 0)); then
  echo "FAIL: $list names no function" >&2
  exit 1
fi

nm --defined-only "$program" | awk -v start="$start" -v size="$size" -v listed="$listed" '
  function hex(s,   i, c, v) { v = 0; s = tolower(s)
    for (i = 1; i <= length(s); i++) { c = index("0123456789abcdef", substr(s, i, 1)) - 1; v = v * 16 + c }
    return v }
  BEGIN { lo = hex(start); hi = lo + hex(size) }
  NR == FNR { want[$1]; next }
  ($3 in want) { a = hex($1); found[$3]
    if (a < lo || a >= hi) { outside++; if (outside <= 5) print "outside the start-up section: " $3 } }
  END {
    n = 0; for (f in found) n++
    printf "%d of %d listed start-up functions exist, %d of them outside the section\n", n, listed, outside + 0
    if (outside * 10 > n) { print "FAIL: the link did not place the listed functions first"; exit 1 }
    if (n * 2 < listed) { print "FAIL: the list is stale; run scripts/order-startup-code"; exit 1 }
  }' "${TMPDIR:-/tmp}/startup-listed.$$" -
