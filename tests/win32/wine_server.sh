#!/bin/sh
# The test prefix's Wine server, kept for the whole test run.
#   wine_server.sh start PREFIX WINE   creates the prefix, starts the server
#   wine_server.sh stop PREFIX         stops it, once the prefix is written
set -eu
export WINEPREFIX="$2"
case "$1" in
start)
  mkdir -p "$WINEPREFIX"
  wineserver -k 2>/dev/null || true
  wineserver -w
  # The server and Wine's own background programs (started by the first
  # program, living as long as the server) get streams of their own: the
  # test run waits until no one holds its output.
  wineserver -p </dev/null >/dev/null 2>&1
  log="$WINEPREFIX/start.log"
  if ! "$3" cmd /c exit </dev/null >"$log" 2>&1; then
    cat "$log"
    exit 1
  fi
  ;;
stop)
  wineserver -k 2>/dev/null || true
  wineserver -w
  ;;
esac
