# An X server of its own for a test: Xvfb picks a display number that no
# other server holds and writes it to the descriptor given by -displayfd
# once it takes clients, so tests started at once never race for a number,
# and the first client never comes too early. It takes only clients with
# its cookie, and none over the network. It never resets: a server resets
# when its last client leaves, and a client that connects meanwhile (the
# program starting while a window search ends) is turned away.
#
# start_own_x FOLDER SECONDS: starts the server with its files in FOLDER,
# waits up to SECONDS for it, exports DISPLAY and XAUTHORITY and sets
# XVFB_PID; the caller ends the server.
start_own_x() {
  local folder="$1" timeout="$2" cookie number="" fd
  export XAUTHORITY="$folder/Xauthority"
  cookie="$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
  : >"$XAUTHORITY"
  # The server reads the cookie whatever display the entry names; the
  # clients look for one under the display's own name, added below.
  xauth -q -f "$XAUTHORITY" add :0 . "$cookie"
  mkfifo "$folder/displayfd"
  # Opened for reading and writing, so that neither end waits for the
  # other to open it.
  exec {fd}<>"$folder/displayfd"
  Xvfb -displayfd "$fd" -screen 0 1280x1024x24 -nolisten tcp -noreset -auth "$XAUTHORITY" \
    </dev/null >"$folder/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local deadline=$((SECONDS + timeout))
  until read -r -t 1 -u "$fd" number; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null || ((SECONDS >= deadline)); then
      echo "FAIL: Xvfb gave no display" >&2
      cat "$folder/xvfb.log" >&2
      exit 1
    fi
  done
  exec {fd}<&-
  export DISPLAY=":$number"
  xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
}
