#!/usr/bin/env bash
# The first start writes the file-type association, the user's
# mimeapps.list included. A mimeapps.list that is a symbolic link planted by
# another user (nobody) leading to a file of root's elsewhere is not written
# through: the program starts all the same and says so on stderr. Not as
# root no link of another user's can be made: then a link of the user's own
# is followed, as it must be.
source "$(dirname "$0")/lib.sh"
elsewhere="$E2E_TMP/elsewhere.list"
printf '[Default Applications]\ntext/plain=theirs.desktop\n' >"$elsewhere"
before="$(cat "$elsewhere")"
ln -s "$elsewhere" "$XDG_CONFIG_HOME/mimeapps.list"
planted=0
if [ "$(id -u)" -eq 0 ]; then
  chown -h nobody "$XDG_CONFIG_HOME/mimeapps.list"
  planted=1
fi
start_app
sleep 1
kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
[ -L "$XDG_CONFIG_HOME/mimeapps.list" ] || fail "the link was replaced"
if ((planted)); then
  [ "$(cat "$elsewhere")" = "$before" ] || fail "written through the planted link: $(cat "$elsewhere")"
  grep -q 'mimeapps.list' "$E2E_TMP/app.log" || fail "nothing said on stderr: $(cat "$E2E_TMP/app.log")"
else
  grep -q '^application/x-tarvel-squ=' "$elsewhere" || fail "the user's own link was not followed"
fi
echo "start_planted_link: ok (planted link: $planted)"
