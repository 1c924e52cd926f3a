#!/usr/bin/env bash
# Runs a command with a display of its own: a fresh Xvfb, stopped afterwards.
set -euo pipefail
display_file=$(mktemp)
exec 3>"$display_file"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$display_file")"
"$@"
