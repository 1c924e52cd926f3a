#!/usr/bin/env bash
# The real velmora.exe under Wine in a real X server (Xvfb) with a window
# manager (openbox), driven by xdotool as a person would: started without
# argument it registers and shows the instructions (closed with Escape); a
# folder is encoded typing the password twice, after the help picture has
# shown the help file in Notepad (clicked, and pressed from the keyboard);
# the container refuses a wrong password and opens with the right one; the
# same with the sealed verb's line (its path also in quotes) and a sealed
# container, a damaged one,
# one salvaged, and "Cancelar" during the key's derivation; a file leaves the main window idle (its title blank, its
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
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill ${wm:-} "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"

# A failure keeps a picture of the whole screen as it was.
fail() {
  import -window root "$artifacts/failure.png" 2> /dev/null || true
  echo "FAIL: $*" >&2
  exit 1
}
. "$(dirname "$0")/../window_manager.sh"
start_window_manager
# The X window is the client area (the window manager draws the frame): at
# 96 DPI it must have the designed size.
client_size() {
  local size
  size=$(xdotool getwindowgeometry "$current" | sed -n 's/^ *Geometry: *//p')
  [ "$size" = "$1" ] || fail "window $current is $size, designed $1"
}
# Waits for a visible window whose title matches, and gives it the focus.
window() {
  local id
  id=$(appearing "$1" 60) || exit 1
  xdotool windowactivate --sync "$id" 2>/dev/null || true
  current=$id
  sleep 0.5
}
gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$1' still open"
}
shot() { import -window "$current" "$artifacts/$1-wine.png"; }
# Clicks at a point of the current window's client area.
click() {
  xdotool mousemove --window "$current" "$1" "$2" click 1
}
start() { wine "$work/program/velmora.exe" "$@" & pid=$!; }  # its pid in $pid
open_container() { LC_ALL=C.UTF-8 start "$(windows_path "$work/files/$1")/C"; }
finished() {  # pid of the wine process started for velmora.exe
  for _ in $(seq 600); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  fail "velmora.exe did not end"
}
windows_path() { winepath -w "$1" 2>/dev/null; }
. "$(dirname "$0")/registered_entries.sh"
tree_listing() {
  (cd "$1" && { find . -mindepth 1 -type d -printf 'd %P\n'; find . -type f -printf 'f %s %P\n'; })
}
# Upper-cased and sorted: the format keeps names in upper case.
upper() { python3 -c 'import sys; sys.stdout.write(sys.stdin.read().upper())' | LC_ALL=C sort; }

wine wineboot -i >/dev/null 2>&1
wineserver -w
program="$(windows_path "$work/program")"

# No argument: the five entries, then the instructions until Escape.
start
window "Velmora 2.0"
client_size 442x325
frame_centred
shot f3
check_registered_entries "$program"
xdotool key Escape
finished $pid
gone "Velmora 2.0"

# Encode: the folder verb's command line, the password twice.
mkdir -p "$work/files/Cartas/viejas" "$work/files/Cartas/vacía"
printf 'Querida Ana' > "$work/files/Cartas/canción.txt"
head -c 200000 /dev/urandom > "$work/files/Cartas/viejas/foto.jpg"
: > "$work/files/Cartas/viejas/vacío.txt"
original=$(tree_listing "$work/files/Cartas" | upper)
cd "$work/files"
start "$(windows_path "$work/files/Cartas")"
window "Escriba la contrase"
client_size 255x173
frame_centred
# The help picture shows the plain-text help file in Notepad: clicked, and
# pressed with Space as the last control Tab reaches (then Tab goes round to
# the first box).
for press in click keyboard; do
  if [ "$press" = click ]; then click 26 60; else xdotool key shift+Tab space; fi
  help=$(timeout 60 xdotool search --sync --onlyvisible --name "velmora.hlp" | head -n 1) ||
    fail "the help picture ($press) opened no viewer of velmora.hlp"
  close_box "$help"
  gone "velmora.hlp"
  window "Escriba la contrase"
done
xdotool key Tab
xdotool type --delay 40 "clave"
xdotool key Return
xdotool type --delay 40 "clave"
shot form2-encoding
xdotool key Return
finished $pid
[ -f "$work/files/Cartas.zol" ] || fail "no container"
[ ! -e "$work/files/Cartas" ] || fail "the folder was not wiped"

# Decode with a wrong password: refused, nothing touched; then the right one.
container_sum=$(sha256sum < "$work/files/Cartas.zol")
start "$(windows_path "$work/files/Cartas.zol")/C"
window "Escribe la contrase"
shot form2-decoding
xdotool type --delay 40 "otra"
xdotool key Return
window "^Velmora$"
shot message-wrong-password
xdotool key Return
gone "^Velmora$"
[ "$(sha256sum < "$work/files/Cartas.zol")" = "$container_sum" ] || fail "container changed"
[ -z "$(find "$work/files" -mindepth 1 -maxdepth 1 -type d)" ] ||
  fail "a folder was restored with a wrong password"
enter_password Escribe "CLAVE"
finished $pid
[ ! -e "$work/files/Cartas.zol" ] || fail "the container was not deleted"
# The restored folder's own name is matched without case, as Windows does.
restored_root=$(find "$work/files" -mindepth 1 -maxdepth 1 -type d -iname cartas)
[ -n "$restored_root" ] || fail "nothing restored"
restored=$(tree_listing "$restored_root" | upper)
[ "$restored" = "$original" ] || fail "restored tree differs: $restored"

# The sealed verb's command line as Explorer gives it ("/S " and the
# folder's path, unquoted): a folder whose name Windows-1252 cannot hold,
# the password, longer than the legacy box takes, typed twice (letters
# outside the keyboard's map are handed to the dialog by
# win32_windows_test). The arguments reach Wine as UTF-8.
sealed="Łódź_日本"
sealed_password="Clave Segura de 2024"
make_sealed_tree "$work/files/$sealed"
sealed_original=$(tree_listing "$work/files/$sealed" | LC_ALL=C sort)
LC_ALL=C.UTF-8 start /S "$(windows_path "$work/files/$sealed")"
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
finished $pid
[ "$(head -c 8 "$work/files/$sealed.zol" | od -An -tx1 | tr -d ' ')" = 8956656c6d6f7261 ] ||
  fail "no sealed container"
[ ! -e "$work/files/$sealed" ] || fail "the sealed folder was not wiped"
cp "$work/files/$sealed.zol" "$work/sealed-copy.zol"

# A double-click on it: the same dialog; a password differing only in case
# is wrong, and the dialog stays for the right one; every name comes back
# exactly.
LC_ALL=C.UTF-8 start "$(windows_path "$work/files/$sealed.zol")/C"
enter_password Escribe "clave segura de 2024"
window "^Velmora$"
shot message-wrong-sealed-password
xdotool key Return
gone "^Velmora$"
[ ! -e "$work/files/$sealed" ] || fail "a wrong password restored something"
enter_password Escribe "$sealed_password"
finished $pid
# The restored folder's window, which a loaded machine may open late
# enough to take the next dialog's keys, is waited for and closed.
close_box "$(appearing "Łódź" 60)"
gone "Łódź"
[ ! -e "$work/files/$sealed.zol" ] || fail "the sealed container was not deleted"
[ "$(tree_listing "$work/files/$sealed" | LC_ALL=C sort)" = "$sealed_original" ] ||
  fail "the sealed folder came back different: $(tree_listing "$work/files/$sealed")"

# The sealed verb's line as a shortcut or a script writes it: the path in
# quotes after "/S " (Wine quotes an argument holding a space the same way).
mkdir -p "$work/files/Mi Carpeta"
printf 'dos' > "$work/files/Mi Carpeta/nota.txt"
start /S "$(windows_path "$work/files/Mi Carpeta")"
enter_password Escriba "$sealed_password"
finished $pid
[ "$(head -c 8 "$work/files/Mi Carpeta.zol" | od -An -tx1 | tr -d ' ')" = 8956656c6d6f7261 ] &&
  [ ! -e "$work/files/Mi Carpeta" ] || fail "the quoted path's folder was not sealed"
rm "$work/files/Mi Carpeta.zol"

damaged_container_refused "$work/sealed-copy.zol"
container_salvaged "$work/sealed-copy.zol"
close_box "$(appearing "Rescate" 60)"
gone "Rescate"
rm -r "$work/files/Rescate.zol" "$work/files/Rescate (rescatado)"
cancelled_during_the_key "$work/sealed-copy.zol"

# A file, not a folder: the main window stays idle (its caption shown
# blank, as the Qt view does) until "Cancelar", clicked or pressed with Enter
# while it has the focus; either just ends the program.
printf 'nota' > "$work/files/nota.txt"
for press in click enter; do
  start "$(windows_path "$work/files/nota.txt")"
  current=$(timeout 60 xdotool search --sync --onlyvisible --class "velmora.exe" | head -n 1) ||
    fail "no idle main window"
  sleep 2
  blank_title
  frame_centred
  client_size 256x197
  shot form1-idle
  if [ "$press" = click ]; then
    click 128 144
  else
    xdotool windowactivate --sync "$current" key Return
  fi
  finished $pid
done
[ "$(cat "$work/files/nota.txt")" = nota ] || fail "the file was touched"

# A large folder encoded, then sealed: "Cancelar" and the close box in the
# middle of each. "Cancelar" deletes the unfinished container; the close
# box ends the program at once and leaves it as NAME.zol.parcial. The
# folder is untouched each time. "Cancelar" on the encode is clicked as
# soon as the window shows (a click during the wipe that follows would be
# too late); the rest once the container is being written (the window
# shows from the scan on: a close before leaves nothing unfinished to keep).
mkdir -p "$work/files/Grande"
for i in $(seq 1 50); do head -c 8000000 /dev/urandom > "$work/files/Grande/parte$i.bin"; done
before=$(cd "$work/files/Grande" && sha256sum ./*)
for run in "encode Cancelar" "encode close" "seal Cancelar" "seal close"; do
  read -r verb press <<< "$run"
  if [ "$verb" = encode ]; then
    start "$(windows_path "$work/files/Grande")"
    enter_password Escriba clave
  else
    start /S "$(windows_path "$work/files/Grande")"
    enter_password Escriba "$sealed_password"
  fi
  main=$(appearing "Codificando")
  if [ "$run" != "encode Cancelar" ]; then
    for _ in $(seq 600); do unfinished && break; sleep 0.05; done
  fi
  if [ "$press" = Cancelar ]; then
    current=$main
    click 128 144
  else
    close_box "$main"
  fi
  large_folder_left "$run" "$press"
done

# At 144 DPI the design is scaled by one and a half.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k
wineserver -w
start
window "Velmora 2.0"
client_size 663x488
shot f3-144dpi
xdotool key Escape
finished $pid

cd /
# The server writes the prefix back as it ends: let it finish first.
wineserver -k 2>/dev/null || true
wineserver -w
echo "velmora.exe under Wine: registration, help, encode, wrong and right password, seal and" \
  "open sealed, quoted path, damaged, idle, Enter, Cancelar and the close box mid-encode and mid-seal, 144 DPI"
rm -rf "$work"
