# Sourced by the end-to-end tests of the windows (Linux and Wine): a display
# (Xvfb) with openbox as its window manager (so windows have frames, a close
# box and focus as on a desktop), checks of what it shows, and the steps
# both scripts take, in $work/files. Each script gives $work, $artifacts,
# $shot_suffix, start ARGUMENTS... (the program started, its pid in $pid),
# encode_verb FOLDER and seal_verb FOLDER (the folder verbs' command
# lines); the checks look at the window whose id is in $current.

. "$(dirname "${BASH_SOURCE[0]}")/script_support.sh"
# A failure keeps a picture of the whole screen as it was.
fail() {
  import -window root "$artifacts/failure.png" 2> /dev/null || true
  echo "FAIL: $*" >&2
  exit 1
}

# Xvfb on a display of its own (its pid in $xvfb), DISPLAY set, openbox on it.
start_display() {
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n 1 "$work/display")"
  start_window_manager
}

# Starts openbox (its pid in $wm) and waits until it manages the screen:
# up to 30 s on a loaded machine, started again should it end first (it
# did once, at the end of a full test run, before taking the screen).
start_window_manager() {
  local tries=0
  openbox --sm-disable > "$work/openbox.log" 2>&1 &
  wm=$!
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && return 0
    if ! kill -0 "$wm" 2> /dev/null && [ $((tries += 1)) -le 3 ]; then
      openbox --sm-disable >> "$work/openbox.log" 2>&1 &
      wm=$!
    fi
    sleep 0.1
  done
  fail "openbox did not start: $(tail -n 5 "$work/openbox.log")"
}

# The frame of $current (client area and the frame's extents) is centred on
# the screen, within two pixels, or becomes so within 5 s (a window is placed
# again once its frame is known, later on a loaded machine).
frame_centred() {
  local x y width height left right top bottom screen_width screen_height centre_x centre_y
  for _ in $(seq 50); do
    read -r x y width height < <(xwininfo -id "$current" | awk '
      /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
    IFS=', ' read -r left right top bottom < <(xprop -id "$current" _NET_FRAME_EXTENTS | sed 's/.*= //')
    [ -n "$bottom" ] || fail "window $current has no frame"
    read -r screen_width screen_height < <(xwininfo -root | awk '
      /Width:/ { w = $NF } /Height:/ { h = $NF } END { print w, h }')
    # Twice the offset of the frame's centre from the screen's.
    centre_x=$(( 2 * (x - left) + width + left + right - screen_width ))
    centre_y=$(( 2 * (y - top) + height + top + bottom - screen_height ))
    [ "${centre_x#-}" -le 4 ] && [ "${centre_y#-}" -le 4 ] && return 0
    sleep 0.1
  done
  fail "window $current's frame is off centre by ($((centre_x / 2)), $((centre_y / 2)))"
}

# The title the window manager shows for $current is blank: not a name of
# its own ("Unnamed Window") or of the program's.
blank_title() {
  local shown
  shown=$(xprop -id "$current" _NET_WM_VISIBLE_NAME WM_NAME |
    awk '/ = / && !done { sub(/^[^=]*= /, ""); print; done = 1 }')
  [ "$shown" = '" "' ] || fail "window $current is shown titled $shown"
}

# The id of a visible window whose title matches, as soon as it shows
# (polled more often than xdotool's --sync does), waiting up to $2 seconds
# (20 by default). A window that goes while xdotool walks the windows makes
# the search fail (BadWindow): it is simply asked again.
appearing() {
  local id
  for _ in $(seq $((${2:-20} * 20))); do
    id=$(xdotool search --onlyvisible --name "$1" 2> /dev/null | awk 'NR == 1') && [ -n "$id" ] &&
      { echo "$id"; return 0; }
    sleep 0.05
  done
  fail "no window '$1'"
}

# Closes a window the way its close box does: through the window manager
# (openbox's Alt+F4 on the active window).
close_box() {
  xdotool windowactivate --sync "$1" 2> /dev/null || true
  xdotool key --clearmodifiers alt+F4
}

# Keys pressed on the window $current, and its going waited for (up to
# 10 s): the next window may have the same title.
answered() {
  local asked=$current
  xdotool key "$@"
  for _ in $(seq 100); do xwininfo -id "$asked" > /dev/null 2>&1 || return 0; sleep 0.1; done
}
# Waits for a visible window whose title matches, and gives it the focus.
window() {
  local id
  id=$(appearing "$1" 60) || exit 1
  xdotool windowactivate --sync "$id" 2> /dev/null || true
  current=$id
  sleep 0.5
}
gone() {  # title: no visible window has it, or none within 10 s
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "$1" > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window '$1' still open"
}
shot() { import -window "$current" "$artifacts/$1$shot_suffix.png"; }
told() { window "^Velmora$"; shot "$1"; xdotool key Return; }  # a message box, shot and closed
click() { xdotool mousemove --window "$current" "$1" "$2" click 1; }  # in the client area
finished() {  # pid: waits for the program to end by itself
  for _ in $(seq 600); do kill -0 "$1" 2> /dev/null || return 0; sleep 0.1; done
  fail "the program did not end"
}

# The password dialog titled "$1 la contraseña:" waited for, and the
# password $2 typed and ended with Enter: once in a container's ("Escribe"),
# in both boxes of a folder's ("Escriba").
enter_password() {  # Escribe|Escriba, password[, shot taken before the last Enter]
  window "$1 la contrase"
  xdotool type --delay 40 "$2"
  [ "$1" = Escribe ] || { xdotool key Return; xdotool type --delay 40 "$2"; }
  [ -z "${3:-}" ] || shot "$3"
  xdotool key Return
}

# The stories both scripts walk.

# The program ended by itself, the folder's container of the kind given
# (the sealed kind known by its first bytes) made, the folder wiped.
encoded() {  # folder, legacy|sealed
  finished $pid
  [ -f "$1.zol" ] || fail "no container $1.zol"
  if is_sealed "$1.zol"; then [ "$2" = sealed ]; else [ "$2" = legacy ]; fi || fail "$1.zol is not $2"
  [ ! -e "$1" ] || fail "$1 was not wiped"
}

# A wrong password told (for a sealed container, after the key's wait shown
# in the caption), the container kept as it was and nothing restored; the
# dialog, back, then takes the right one: the program ends by itself, the
# container deleted and its folder (its own name matched without case, as
# Windows does) holding what it held.
refused_then_restored() {  # folder, wrong password, right one, the message's shot, listing[, upper]
  local sum root
  sum=$(sha256sum < "$1.zol")
  enter_password Escribe "$2"
  ! is_sealed "$1.zol" || appearing "^Preparando la clave\.\.\.$" 60 > /dev/null
  told "$4"
  gone "^Velmora$"
  [ "$(sha256sum < "$1.zol")" = "$sum" ] || fail "a wrong password changed $1.zol"
  [ -z "$(find . -mindepth 1 -maxdepth 1 -iname "$1")" ] || fail "a wrong password restored $1"
  enter_password Escribe "$3"
  finished $pid
  [ ! -e "$1.zol" ] || fail "$1.zol was not deleted"
  root=$(find . -mindepth 1 -maxdepth 1 -type d -iname "$1")
  [ -n "$root" ] && [ "$(listing "$root" "${6:-}")" = "$5" ] ||
    fail "$1 came back different: $(ls -A; [ -z "$root" ] || listing "$root")"
}

# The help picture shows the help file (help_shown, the script's, checks
# it): clicked, then pressed with Space as the last control Tab reaches;
# Tab then goes round to the first box.
help_picture_pressed() {
  local press
  for press in click keyboard; do
    if [ "$press" = click ]; then click 26 60; else xdotool key shift+Tab space; fi
    help_shown "$press"
    window "Escriba la contrase"
  done
  xdotool key Tab
}

# No argument: the instructions (their shot's name given).
instructions_shown() {
  start
  window "Velmora 2.0"
  shot "$1"
}

# An ordinary file given: the main window waits idle, its frame centred
# and its title blank (neither the program's name nor the window manager's
# own). The window is found by xdotool's options given.
idle_main_window() {  # file, xdotool's search options
  start "$1"
  shift
  current=$(timeout 60 xdotool search --sync --onlyvisible "$@" | head -n 1) || fail "no main window"
  xdotool windowactivate --sync "$current" 2> /dev/null || true
  sleep 2
  shot form1-idle
  frame_centred
  blank_title
}

# Steps on sealed containers: each script gives open_container NAME (the
# program started on it) and $tests; the sealed container given holds the
# tree make_sealed_tree makes, sealed with $sealed_password (longer than the
# legacy box takes).
sealed_password="Clave Segura de 2024"
make_sealed_tree() {  # folder (its listing kept in $sealed_original)
  mkdir -p "$1/Ñandú/vacía"
  printf 'uno' > "$1/Ñandú/ü.txt"
  head -c 150000 /dev/urandom > "$1/datos.bin"
  sealed_original=$(listing "$1")
}

# Damaged in its content (one message after the password) and in its
# header (one message before any dialog): nothing is created, the container
# stays as it was. Every slot zeroed (the parity rebuilds up to two of a
# group), then both headers (each is the other's copy).
damaged_container_refused() {  # a sealed container
  local size listing where
  cp "$1" Dañado.zol
  size=$(stat -c %s Dañado.zol)
  head -c $((size - 280)) /dev/zero | dd of=Dañado.zol bs=64K seek=140 oflag=seek_bytes conv=notrunc status=none
  for where in content header; do
    listing=$(ls -A; sha256sum < Dañado.zol)
    open_container Dañado.zol
    [ "$where" = header ] || enter_password Escribe "$sealed_password"
    told "damaged-$where"
    finished $pid
    [ "$(ls -A; sha256sum < Dañado.zol)" = "$listing" ] || fail "a damaged container ($where) left something"
    "$tests/flip_byte.py" Dañado.zol 20 $((size - 120))
  done
  rm Dañado.zol
}

# Beyond the parity of its one group but for its first slot (the index and
# ü.txt's chunk spared: the second data slot and both parity slots zeroed):
# after the damage message the salvage is asked ("No" the default, Tab
# moves to "Sí"), and it restores what is intact into "Rescate
# (rescatado)", the container kept byte for byte.
container_salvaged() {  # a sealed container
  local slot sum
  cp "$1" Rescate.zol
  for slot in 1 3 4; do
    head -c 65552 /dev/zero |
      dd of=Rescate.zol bs=64K seek=$((140 + slot * 65552)) oflag=seek_bytes conv=notrunc status=none
  done
  sum=$(sha256sum < Rescate.zol)
  open_container Rescate.zol
  enter_password Escribe "$sealed_password"
  window "^Velmora$"
  answered Return
  window "^Velmora$"
  shot salvage-question
  answered Tab space
  told salvage-done
  finished $pid
  [ "$(sha256sum < Rescate.zol)" = "$sum" ] || fail "the salvage changed the container"
  [ "$(cd "Rescate (rescatado)" && find . | LC_ALL=C sort | tr '\n' ' ')" = ". ./Ñandú ./Ñandú/vacía ./Ñandú/ü.txt " ] ||
    fail "the salvage restored $(cd "Rescate (rescatado)" && find . | tr '\n' ' ')"
  [ "$(cat "Rescate (rescatado)/Ñandú/ü.txt")" = uno ] || fail "ü.txt differs"
}

# "Cancelar" while the key is being derived (the better part of a second):
# the dialog keeps answering, and the program ends with nothing touched.
cancelled_during_the_key() {  # a sealed container
  cp "$1" Clave.zol
  open_container Clave.zol
  window "Escribe la contrase"
  shot form2-opening-sealed
  xdotool type --delay 40 "$sealed_password"
  xdotool key Return Escape
  finished $pid
  cmp Clave.zol "$1" || fail "Cancelar during the key's derivation changed the container"
  [ ! -e Clave ] || fail "Cancelar during the key's derivation restored something"
  rm Clave.zol
}

# A large folder (its number of 8 MB files given) encoded or sealed and
# stopped, each run "encode|seal Cancelar|close": "Cancelar" on an encode
# is clicked as soon as the window shows (a click during the wipe that
# follows would be too late), the rest once the container is being written
# (the window shows from the scan on: a close before leaves nothing
# unfinished to keep), after progress_read (the script's) reads the window.
# The close box ends the program at once, the unfinished container left as
# NAME.zol.parcial; "Cancelar" deletes it. The folder is untouched each time.
unfinished() { ls Grande.zol.parcial* > /dev/null 2>&1; }
large_folder_stopped() {  # files, runs...
  local run verb press main
  mkdir -p Grande
  for i in $(seq "$1"); do head -c 8000000 /dev/urandom > "Grande/parte$i.bin"; done
  before=$(cd Grande && sha256sum ./*)
  for run in "${@:2}"; do
    read -r verb press <<< "$run"
    if [ "$verb" = encode ]; then encode_verb "$work/files/Grande"; enter_password Escriba clave
    else seal_verb "$work/files/Grande"; enter_password Escriba "$sealed_password"; fi
    main=$(appearing "Codificando" 60) || exit 1
    [ "$run" = "encode Cancelar" ] || for _ in $(seq 600); do unfinished && break; sleep 0.05; done
    progress_read "$verb"
    if [ "$press" = Cancelar ]; then
      current=$main
      xdotool windowactivate --sync "$main" 2> /dev/null || true
      click 128 144
    else
      close_box "$main"
    fi
    finished $pid
    [ ! -e Grande.zol ] || fail "$run left a container"
    [ "$(cd Grande && sha256sum ./*)" = "$before" ] || fail "$run touched the folder"
    if [ "$press" = Cancelar ]; then ! unfinished || fail "$run left the unfinished container"
    else unfinished || fail "$run left no unfinished container"; fi
    rm -f Grande.zol.parcial*
  done
  rm -r Grande
}
