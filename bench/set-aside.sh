#!/bin/sh
# Moves each given path that exists into aside/ under a new name, then
# empties the files moved: their unwritten data is dropped and their blocks
# freed, but their inodes stay in use until run.sh deletes aside/ between
# sections. On an ext4 without a journal a file created scans past every
# inode deleted in the last minute (six while their inode table is not yet
# written), so deleting the last run's tree before each timed restore would
# time that history rather than the tool.
set -e
mkdir -p aside
for path in "$@"; do
  [ -e "$path" ] || continue
  moved="aside/$(date +%s%N)"
  mv "$path" "$moved"
  find "$moved" -type f -size +0 -exec truncate -s 0 {} +
done
