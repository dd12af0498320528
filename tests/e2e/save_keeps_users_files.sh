#!/usr/bin/env bash
# Files of the user's whose names look like the temporaries of earlier
# versions, made an hour ago, survive a save into their folder through the
# window; and what a save leaves is the file alone.
source "$(dirname "$0")/lib.sh"
folder="$E2E_TMP/plots"
mkdir "$folder"
for name in .plan.tarvel-Xy12Ab .field.squ.tarvel-abc123; do
  echo "the user's" >"$folder/$name"
  touch -d '1 hour ago' "$folder/$name"
done
start_app
out="$folder/field.squ"
save_as "$out"
sleep 0.5
for name in .plan.tarvel-Xy12Ab .field.squ.tarvel-abc123; do
  [ "$(cat "$folder/$name" 2>/dev/null)" = "the user's" ] || fail "$name was removed or changed"
done
left="$(ls -A "$folder" | sort | tr '\n' ' ')"
[ "$left" = ".field.squ.tarvel-abc123 .plan.tarvel-Xy12Ab field.squ " ] || fail "the folder holds: $left"
echo "save_keeps_users_files: ok"
