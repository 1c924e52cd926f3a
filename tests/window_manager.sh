# Sourced by the end-to-end tests of the windows (Linux and Wine): openbox as
# the window manager of their Xvfb display (so windows have frames, a close
# box and focus as on a desktop), checks of what it shows, and the steps
# both scripts take. Needs fail() and, for the checks, the window id in
# $current.

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

# The password dialog titled "$1 la contraseña:" waited for, and the
# password $2 typed and ended with Enter: once in a container's ("Escribe"),
# in both boxes of a folder's ("Escriba"). (`window` is the calling script's.)
enter_password() {  # Escribe|Escriba, password[, shot taken before the last Enter]
  window "$1 la contrase"
  xdotool type --delay 40 "$2"
  [ "$1" = Escribe ] || { xdotool key Return; xdotool type --delay 40 "$2"; }
  [ -z "${3:-}" ] || shot "$3"
  xdotool key Return
}

# Steps on sealed containers that both scripts take, in the current folder:
# each script gives open_container NAME (the program started on it, its pid
# in $pid), finished PID, shot NAME, $tests and $sealed_password; the
# sealed container given holds the tree make_sealed_tree makes.
make_sealed_tree() {  # folder
  mkdir -p "$1/Ñandú/vacía"
  printf 'uno' > "$1/Ñandú/ü.txt"
  head -c 150000 /dev/urandom > "$1/datos.bin"
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
    window "^Velmora$"
    shot "damaged-$where"
    xdotool key Return
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
  local slot sum damage
  cp "$1" Rescate.zol
  for slot in 1 3 4; do
    head -c 65552 /dev/zero |
      dd of=Rescate.zol bs=64K seek=$((140 + slot * 65552)) oflag=seek_bytes conv=notrunc status=none
  done
  sum=$(sha256sum < Rescate.zol)
  open_container Rescate.zol
  enter_password Escribe "$sealed_password"
  window "^Velmora$"
  damage=$current
  xdotool key Return
  for _ in $(seq 100); do xwininfo -id "$damage" > /dev/null 2>&1 || break; sleep 0.1; done
  window "^Velmora$"
  shot salvage-question
  xdotool key Tab space
  window "^Velmora$"
  shot salvage-done
  xdotool key Return
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

# A large folder's job ended by "Cancelar" or the close box (`$work/files/
# Grande`, its files' sums in $before, the program's pid in $pid): no
# container, the folder untouched, the unfinished container deleted by
# "Cancelar" and kept by the close box.
unfinished() { ls "$work/files/Grande.zol.parcial"* > /dev/null 2>&1; }
large_folder_left() {  # the run's name, Cancelar|close
  finished $pid
  [ ! -e "$work/files/Grande.zol" ] || fail "$1 left a container"
  [ "$(cd "$work/files/Grande" && sha256sum ./*)" = "$before" ] || fail "$1 touched the folder"
  if [ "$2" = Cancelar ]; then ! unfinished || fail "$1 left the unfinished container"
  else unfinished || fail "$1 left no unfinished container"; fi
  rm -f "$work/files/Grande.zol.parcial"*
}
