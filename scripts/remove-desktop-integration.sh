#!/usr/bin/env bash
# Removes what registering wrote for this user: the registry store, the
# launch wrappers, the file type, its icon, the desktop entry and its
# mimeapps.list lines, and the folder verb for Dolphin, Nemo and Nautilus.
set -euo pipefail
data="${XDG_DATA_HOME:-$HOME/.local/share}"
config="${XDG_CONFIG_HOME:-$HOME/.config}"
rm -rf "$data/velmora"
rm -f "$data/mime/packages/velmora.xml" \
      "$data/applications/velmora-zol.desktop" \
      "$data/kio/servicemenus/velmora-encriptar.desktop" \
      "$data/nemo/actions/velmora-encriptar.nemo_action" \
      "$data/nautilus/scripts/Encriptar..."
find "$data/icons/hicolor" -name 'application-x-velmora-zol.png' -delete 2>/dev/null || true
if [ -f "$config/mimeapps.list" ]; then
  sed -i '/^application\/x-velmora-zol=/d' "$config/mimeapps.list"
fi
command -v update-mime-database >/dev/null && update-mime-database "$data/mime" || true
command -v update-desktop-database >/dev/null && update-desktop-database "$data/applications" || true
echo "Velmora's desktop integration has been removed for $USER."
