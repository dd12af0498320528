#!/usr/bin/env bash
# Probes the settings store from outside, with real processes, and prints
# figures:
#   - writer processes at once on one file, each with keys of its own: how
#     many keys are kept, run after run;
#   - writers killed (SIGKILL) at random moments: damaged files, the stray
#     files they leave, and what is left after the next start (a read) and
#     after the next write;
#   - polygon saves killed (SIGKILL) at random moments: damaged files, the
#     temporaries they leave, and what is left after the next save;
#   - hand-edited files: whether a write is stored and another program's
#     section kept byte for byte.
# Exits non-zero when any key is lost, a stray file stays or a hand-edited
# file loses a write.
#
#   tests/platform/services/settings_probe.sh SETTINGS_WRITER [RUNS] [KILLS]
set -euo pipefail
writer="$1"
runs="${2:-20}"
kills="${3:-200}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0

# ---- concurrent writers
writers=4
keys=50
worst=$((writers * keys))
lost_runs=0
for ((run = 1; run <= runs; run++)); do
  dir="$work/concurrent$run"
  mkdir "$dir"
  pids=()
  for ((w = 0; w < writers; w++)); do
    "$writer" "$dir/t.ini" "w${w}_" "$keys" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid"; done
  kept="$(grep -cE '^w[0-9]+_[0-9]+=w[0-9]+_ [0-9]+$' "$dir/t.ini" || true)"
  ((kept < worst)) && worst=$kept
  ((kept == writers * keys)) || lost_runs=$((lost_runs + 1))
done
echo "concurrent: $writers writer processes x $keys keys, $runs runs:" \
  "$((runs - lost_runs)) runs kept all $((writers * keys)), fewest kept $worst"
((lost_runs == 0)) || failed=1

# ---- killed writers
dir="$work/killed"
mkdir "$dir"
"$writer" "$dir/t.ini" Tunes Gr1 1 --one
strays_seen=0
kills_with_strays=0
damaged=0
for ((k = 1; k <= kills; k++)); do
  "$writer" "$dir/t.ini" k 0 &
  pid=$!
  sleep "0.0$((RANDOM % 9 + 1))"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  n="$(find "$dir" -mindepth 1 ! -name t.ini | wc -l)"
  strays_seen=$((strays_seen + n))
  ((n == 0)) || kills_with_strays=$((kills_with_strays + 1))
  # The key the killed writer never touched is still there, in a whole file.
  grep -qx 'Gr1=1' "$dir/t.ini" && grep -qx '\[Tunes\]' "$dir/t.ini" || damaged=$((damaged + 1))
done
"$writer" "$dir/t.ini" Tunes Gr1 --read >/dev/null
after_start="$(find "$dir" -mindepth 1 -name '.tarvel-tmp.*' | wc -l)"
locks_after_start="$(find "$dir" -mindepth 1 ! -name t.ini ! -name '.tarvel-tmp.*' | wc -l)"
"$writer" "$dir/t.ini" Tunes Gr1 2 --one
left="$(find "$dir" -mindepth 1 ! -name t.ini | wc -l)"
value="$("$writer" "$dir/t.ini" Tunes Gr1 --read)"
echo "killed: $kills kills during writes; $damaged damaged files; $kills_with_strays left stray files" \
  "($strays_seen counted in all, one count after each kill); after the next start:" \
  "$after_start temporaries, $locks_after_start lock files; after the next write:" \
  "$left stray files, the write $([ "$value" = 2 ] && echo stored || echo LOST)"
((left == 0 && after_start == 0 && damaged == 0)) && [ "$value" = 2 ] || failed=1

# ---- killed polygon saves
dir="$work/saves"
mkdir "$dir"
"$writer" --save-polygon "$dir/plot.squ" --once
temporaries_seen=0
damaged=0
for ((k = 1; k <= kills; k++)); do
  "$writer" --save-polygon "$dir/plot.squ" &
  pid=$!
  sleep "0.0$((RANDOM % 9 + 1))"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  temporaries_seen=$((temporaries_seen + $(find "$dir" -mindepth 1 ! -name plot.squ | wc -l)))
  # 42 lines, the last one 4000 times A or B.
  { [ "$(wc -l <"$dir/plot.squ")" -eq 42 ] &&
    tail -n1 "$dir/plot.squ" | tr -d '\r\n' | grep -qxE 'A{4000}|B{4000}'; } || damaged=$((damaged + 1))
done
"$writer" --save-polygon "$dir/plot.squ" --once
left="$(find "$dir" -mindepth 1 ! -name plot.squ | wc -l)"
echo "killed saves: $kills kills during polygon saves; $damaged damaged files;" \
  "$temporaries_seen temporaries seen (one count after each kill); after the next save: $left"
((left == 0 && damaged == 0)) || failed=1

# ---- hand-edited files
mine=$'[Mine]\nnote=see: a,@b\n'
noise="$(shuf --random-source=<(yes 20240611) -r -i 0-255 -n 8192 | awk '{ printf "\\%03o", $1 }')"
declare -A inputs=(
  ["the probe's file"]=$'[Tunes]\nGr1=1\n'"$mine"
  ["a value ,@"]=$'[Tunes]\nGr1=,@\n'"$mine"
  ["a NUL byte"]='[Tunes]\nGr1=a\000b\n'
  ["8 KiB of noise"]="$noise"'\n'
  ["a line without ="]=$'[Tunes]\njust words\n'"$mine"
  ["a header without ]"]=$'[Tunes\nStep=1\n'"$mine"
  ["CRLF line ends"]=$'[Tunes]\r\nGr1=1\r\n'
  ["a UTF-8 BOM"]=$'\xEF\xBB\xBF[Tunes]\nStep=2\n'"$mine"
  ["duplicate keys"]=$'[Tunes]\nStep=1\nstep=2\n'"$mine"
  ["keys in other case"]=$'[tunes]\nSTEP=3\n'"$mine"
  ["an open quote"]=$'[Tunes]\nVibFolder="/home/a\n'"$mine"
)
stored=0
for what in "${!inputs[@]}"; do
  file="$work/hand.ini"
  # printf turns the \000 escapes into bytes; "%b" is not used so that a
  # "%" in the noise stays a byte.
  printf "${inputs[$what]//%/%%}" >"$file"
  printf '%s' "$mine" >>"$file"
  cp "$file" "$work/before.ini"
  errors="$("$writer" "$file" Tunes Step 7 --one 2>&1 >/dev/null)"
  value="$("$writer" "$file" Tunes step --read)"
  # Every line but the Step lines is still there as it was, [Mine] included:
  # lines were only added.
  grep -avi '^step=' "$work/before.ini" >"$work/before.rest" || true
  grep -avi '^step=' "$file" >"$work/after.rest" || true
  if [ "$value" = 7 ] && [ -z "$errors" ] &&
    ! diff -a "$work/before.rest" "$work/after.rest" | grep -aq '^<'; then
    stored=$((stored + 1))
  else
    echo "  hand-edited: $what: step=$value errors=[$errors]" >&2
    failed=1
  fi
done
echo "hand-edited: ${#inputs[@]} inputs: $stored writes stored with the rest of the file kept" \
  "byte for byte (the [Mine] section included), $((${#inputs[@]} - stored)) not"
exit "$failed"
