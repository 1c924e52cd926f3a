#!/bin/sh
# The test prefix's Wine server and its display, kept for the whole test run.
# The display (an Xvfb) comes first, so that the server's first program, and
# the desktop it starts, have one: a desktop made without a display has no
# driver for the windows a later test creates.
#   wine_server.sh start PREFIX WINE   creates the prefix, starts the display,
#                                      then the server and its first program
#   wine_server.sh run COMMAND...      runs COMMAND on that display
#                                      (WINEPREFIX names the prefix)
#   wine_server.sh stop PREFIX         stops the server, then the display
set -eu
action=$1
shift
if [ "$action" = run ]; then
  DISPLAY=":$(head -n 1 "$WINEPREFIX/display")"
  export DISPLAY
  exec "$@"
fi
export WINEPREFIX="$1"
display_file="$WINEPREFIX/display"
pid_file="$WINEPREFIX/xvfb.pid"

stop_all() {
  wineserver -k 2>/dev/null || true
  wineserver -w
  if [ -f "$pid_file" ]; then
    pid=$(cat "$pid_file")
    # Only the Xvfb this script started, not a process that took its number.
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
      kill "$pid" 2>/dev/null || true
      for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    fi
  fi
  rm -f "$pid_file" "$display_file"
}

case "$action" in
start)
  mkdir -p "$WINEPREFIX"
  stop_all  # what an interrupted run left
  # Its own streams: the test run waits until no one holds its output.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$pid_file"
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || { echo "Xvfb did not start" >&2; stop_all; exit 1; }
  DISPLAY=":$(head -n 1 "$display_file")"
  export DISPLAY
  # The server and Wine's own background programs (started by the first
  # program, living as long as the server) get streams of their own too.
  wineserver -p </dev/null >/dev/null 2>&1
  log="$WINEPREFIX/start.log"
  "$2" cmd /c exit </dev/null >"$log" 2>&1 || { cat "$log"; exit 1; }
  ;;
stop)
  stop_all
  ;;
esac
