#!/usr/bin/env bash
# The real velmora.exe under Wine in a real X server (Xvfb) with a window
# manager (openbox), driven by xdotool as a person would: started without
# argument it registers and shows the instructions (closed with Escape); a
# folder is encoded typing the password twice, after the help picture has
# shown the help file in Notepad (clicked, and pressed from the keyboard);
# the container refuses a wrong password and opens with the right one; the
# same with the sealed verb's line and a sealed
# container, a damaged one, one salvaged, and "Cancelar" during the key's
# derivation; a file leaves the main window idle (its title blank, its
# frame centred) until "Cancelar", clicked or pressed with Enter; "Cancelar"
# and the close box in the middle of a large encode and of a large seal; at
# 144 DPI the windows are scaled. A screenshot of each window is kept in the
# artifacts folder.
#   e2e_gui_wine.sh DIST_FOLDER WORK_FOLDER ARTIFACTS_FOLDER
set -euo pipefail
tests="$(cd "$(dirname "$0")/.." && pwd)"
dist=$1
work=$2
artifacts=$3
rm -rf "$work"
mkdir -p "$work/program" "$work/files" "$artifacts"
cp "$dist/velmora.exe" "$dist/secreto.ico" "$dist/velmora.hlp" "$work/program/"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all,err+seh WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() {
  wineserver -k 2>/dev/null || true
  kill ${wm:-} ${xvfb:-} 2>/dev/null || true
}
trap cleanup EXIT
shot_suffix=-wine
. "$tests/window_manager.sh"
start_display
# The X window is the client area (the window manager draws the frame): at
# 96 DPI it must have the designed size.
client_size() {
  local size
  size=$(xdotool getwindowgeometry "$current" | sed -n 's/^ *Geometry: *//p')
  [ "$size" = "$1" ] || fail "window $current is $size, designed $1"
}
# The arguments reach Wine as UTF-8.
start() { LC_ALL=C.UTF-8 wine "$work/program/velmora.exe" "$@" & pid=$!; }
windows_path() { winepath -w "$1" 2>/dev/null; }
open_container() { start "$(windows_path "$work/files/$1")/C"; }
encode_verb() { start "$(windows_path "$1")"; }
seal_verb() { start /S "$(windows_path "$1")"; }
progress_read() { :; }
# A window the program opened (Notepad showing the help file, a folder
# restored, which a loaded machine may open late enough to take the next
# dialog's keys) waited for and closed.
window_closed() {
  local shown
  shown=$(appearing "$1" 60) || exit 1
  close_box "$shown"
  gone "$1"
}
help_shown() { window_closed velmora.hlp; }
. "$(dirname "$0")/registered_entries.sh"

wine wineboot -i >/dev/null 2>&1
wineserver -w
program="$(windows_path "$work/program")"
cd "$work/files"

# No argument: the five entries, then the instructions until Escape.
instructions_shown f3
client_size 442x325
frame_centred
check_registered_entries "$program"
xdotool key Escape
finished $pid
gone "Velmora 2.0"

# Encode: the folder verb's command line, the password twice; the help
# picture shows the plain-text help file in Notepad.
mkdir -p Cartas/viejas Cartas/vacía
printf 'Querida Ana' > Cartas/canción.txt
head -c 200000 /dev/urandom > Cartas/viejas/foto.jpg
: > Cartas/viejas/vacío.txt
original=$(listing Cartas upper)
encode_verb "$work/files/Cartas"
window "Escriba la contrase"
client_size 255x173
frame_centred
help_picture_pressed
enter_password Escriba clave form2-encoding
encoded Cartas legacy

# Decode with a wrong password: refused, nothing touched; then the right one.
open_container Cartas.zol
window "Escribe la contrase"
shot form2-decoding
refused_then_restored Cartas otra CLAVE message-wrong-password "$original" upper
# The restored folder's window, closed before the next dialog: shown late,
# it would take that dialog's keys.
window_closed Cartas

# The sealed verb's command line as Explorer gives it ("/S " and the
# folder's path, unquoted): a folder whose name Windows-1252 cannot hold,
# the password, longer than the legacy box takes, typed twice (letters
# outside the keyboard's map are handed to the dialog by
# win32_windows_test). The arguments reach Wine as UTF-8.
sealed="Łódź_日本"
make_sealed_tree "$sealed"
seal_verb "$work/files/$sealed"
enter_password Escriba "$sealed_password" form2-sealing
# The end's notification: its icon in Wine's own tray window (openbox has no
# tray) and, two seconds on, its balloon, a nameless window of Wine's
# explorer, both while the program waits four seconds before it ends.
appearing "^Wine System Tray$" 60 > /dev/null
balloon=
for _ in $(seq 50); do
  for id in $(xdotool search --onlyvisible --class explorer.exe 2> /dev/null); do
    name=$(xdotool getwindowname "$id" 2> /dev/null) && [ -z "$name" ] && { balloon=$id; break 2; }
  done
  sleep 0.1
done
[ -n "$balloon" ] || fail "the seal's balloon did not show"
current=$balloon
shot notification
encoded "$sealed" sealed
cp "$sealed.zol" "$work/sealed-copy.zol"

# A double-click on it: the same dialog; a password differing only in case
# is wrong, and the dialog stays for the right one; every name comes back
# exactly.
open_container "$sealed.zol"
refused_then_restored "$sealed" "clave segura de 2024" "$sealed_password" \
  message-wrong-sealed-password "$sealed_original"
window_closed "Łódź"

damaged_container_refused "$work/sealed-copy.zol"
container_salvaged "$work/sealed-copy.zol"
window_closed Rescate
rm -r "Rescate.zol" "Rescate (rescatado)"
cancelled_during_the_key "$work/sealed-copy.zol"

# A file, not a folder: the main window stays idle (its caption shown
# blank, as the Qt view does) until "Cancelar", clicked or pressed with Enter
# while it has the focus; either just ends the program.
printf 'nota' > nota.txt
for press in click enter; do
  idle_main_window "$(windows_path "$work/files/nota.txt")" --class velmora.exe
  client_size 256x197
  if [ "$press" = click ]; then click 128 144; else xdotool key Return; fi
  finished $pid
done
[ "$(cat nota.txt)" = nota ] || fail "the file was touched"

# A large folder encoded, then sealed: "Cancelar" and the close box in the
# middle of each.
large_folder_stopped 50 "encode Cancelar" "encode close" "seal Cancelar" "seal close"

# At 144 DPI the design is scaled by one and a half.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k
wineserver -w
instructions_shown f3-144dpi
client_size 663x488
xdotool key Escape
finished $pid

cd /
# The server writes the prefix back as it ends: let it finish first.
wineserver -k 2>/dev/null || true
wineserver -w
echo "velmora.exe under Wine: registration, help, encode, wrong and right password, seal and" \
  "open sealed, damaged, idle, Enter, Cancelar and the close box mid-encode and mid-seal, 144 DPI"
rm -rf "$work"
