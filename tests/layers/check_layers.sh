#!/usr/bin/env bash
# Checks that every folder of the sources includes only headers of its own
# layer and of the layers below it (the order of src/CMakeLists.txt):
#   platform/io < platform/controls < platform/services < geometry, files
#   < geographic, settings_windows, drawing < main_window
# Headers at the top of the sources (program.h) may be included anywhere.
# A folder missing from the table fails too, so that a new one is placed.
#   check_layers.sh <sources folder>
set -euo pipefail
src="${1:?usage: check_layers.sh <sources folder>}"

# folder -> the include prefixes it may use. The spreadsheet reader in
# platform/io implements an interface of platform/services, whose header of
# interfaces is all it takes from there.
declare -A allowed=(
  [platform/io]="platform/io/ platform/services/services.h"
  [platform/controls]="platform/io/ platform/controls/"
  [platform/services]="platform/io/ platform/controls/ platform/services/"
  [geometry]="geometry/"
  [files]="platform/ geometry/ files/"
  [geographic]="platform/ geometry/ files/ geographic/"
  [settings_windows]="platform/ geometry/ files/ settings_windows/"
  [drawing]="platform/ geometry/ files/ drawing/"
  [main_window]="platform/ geometry/ files/ geographic/ settings_windows/ drawing/ main_window/"
)

failures=0
while IFS= read -r -d '' file; do
  rel="${file#"$src"/}"
  folder="$(dirname "$rel")"
  [ "$folder" = . ] && continue # main.cpp puts the layers together
  # The table names top folders and the subfolders of platform/.
  key="$folder"
  case "$folder" in
    platform/*) key="$(cut -d/ -f1-2 <<<"$folder")" ;;
    *) key="${folder%%/*}" ;;
  esac
  if [ -z "${allowed[$key]+set}" ]; then
    echo "$rel: the folder $key has no place in the layers (tests/layers/check_layers.sh)"
    failures=$((failures + 1))
    continue
  fi
  while IFS=: read -r line header; do
    [[ "$header" == */* ]] || continue # a header at the top, or a generated one
    ok=0
    for prefix in ${allowed[$key]}; do
      if [[ "$header" == "$prefix"* ]]; then ok=1; break; fi
    done
    if ((ok == 0)); then
      echo "$rel:$line: includes \"$header\", above the layer of $key"
      failures=$((failures + 1))
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
           sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if ((failures > 0)); then
  echo "$failures include(s) against the layers"
  exit 1
fi
