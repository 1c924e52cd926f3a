#!/usr/bin/env bash
# Runs the demonstration on a freshly made sample folder.
set -euo pipefail
build="${1:-build/default}"
sample="$build/demo"
rm -rf "$sample"
mkdir -p "$sample"
"$build/cli/velmora-format-demo" "$sample"
