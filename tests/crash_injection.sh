#!/usr/bin/env bash
# Kills velmora-cli with SIGKILL right after each operation that changes the
# disk, while encoding and while decoding, and checks after every kill that
# nothing was lost:
#   encoding - every original file is intact, or a complete container exists
#              that decodes to the original tree; a container under its real
#              name is always complete, and a partial one left by the kill
#              does not block the next run;
#   decoding - the container is intact, or the restored tree is complete;
#              nothing but the complete tree under the restored name, and
#              (sealed) a staging folder left is 0700 and removed, told, by
#              the next decode.
# Then an interrupt in each phase of each command (see the table at the
# end); "Cancelar" at every step of the engine is encoder_test's.
# Usage: crash_injection.sh CRASHING-CLI CLI [STEP]  (STEP > 1 tries every
# STEP-th point only). Prints the number of kill points tried.
. "$(dirname "$0")/crash_support.sh"

mkdir -p original/sub/deeper original/empty
printf 'uno' > original/a.txt
: > original/vacio
head -c 140000 /dev/urandom > original/sub/grande.bin
head -c 3000 /dev/urandom > original/sub/deeper/medio.bin
for n in 1 2 3 4 5 6; do printf 'nota %s' "$n" > "original/sub/nota$n.txt"; done
expected=$(listing original upper)
expected_exact=$(listing original)

# A folder of its own holding the original tree as T, or the container
# given as T.zol.
fresh() {  # folder[, container]
  rm -rf "$1" && mkdir "$1"
  if [ -n "${2:-}" ]; then cp "$2" "$1/T.zol"; else cp -a original "$1/T"; fi
}
# The crashing program run in a folder with a password.
crashing_in() {  # folder, password, command...
  (cd "$1" && echo "$2" | "$crashing" "${@:3}" --password-stdin > /dev/null 2>&1)
}
# The number of crash points of a complete run, in its folder.
points() { VELMORA_POINTS_FILE="$work/points" crashing_in "$@"; cat "$work/points"; }  # folder, password, command...

tried=0
wiped_points=0
# Encoding.
fresh enc
total=$(points enc clave encode T)
for ((k = 1; k <= total; k += step)); do
  fresh enc
  killed_at $k encode crashing_in enc clave encode T
  [ ! -e enc/T.zol ] || restores enc/T.zol clave "$expected" upper ||
    fail "encode point $k: the container lost data"
  if compgen -G "enc/.velmora-*.borrando" > /dev/null && [ -d enc/T ]; then  # killed in the wipe: said plainly
    expect_status 3 -e 'se interrumpió mientras borraba' \
      sh -c "cd enc && echo clave | '$cli' encode T --password-stdin"
    wiped_points=$((wiped_points + 1))
  fi
  if [ -d enc/T ] && [ "$(listing enc/T)" = "$expected_exact" ]; then
    if compgen -G 'enc/T.zol.parcial*' > /dev/null; then  # a retry is not blocked
      expect_status 0 sh -c "cd enc && echo clave | '$cli' encode T --keep --password-stdin"
    fi
    continue  # every original intact
  fi
  [ -f enc/T.zol ] || fail "encode point $k: originals damaged and no container"
done
encode_points=$tried

# The containers the decodes start from: legacy and sealed.
fresh dec
(cd dec && echo clave | "$cli" encode T --password-stdin > /dev/null && mv T.zol ../container.zol)
fresh dec
(cd dec && echo "$sealed_password" | "$cli" seal T --password-stdin > /dev/null && mv T.zol ../sealed.zol)
container_sum=$(sha256sum < container.zol)
sealed_sum=$(sha256sum < sealed.zol)

# Decoding.
fresh dec container.zol
total=$(points dec clave decode T.zol)
for ((k = 1; k <= total; k += step)); do
  fresh dec container.zol
  killed_at $k decode crashing_in dec clave decode T.zol
  if [ -f dec/T.zol ] && [ "$(sha256sum < dec/T.zol)" = "$container_sum" ]; then
    continue  # the container is intact
  fi
  [ -d dec/T ] || fail "decode point $k: container damaged and nothing restored"
  [ "$(listing dec/T upper)" = "$expected" ] || fail "decode point $k: container gone, tree incomplete"
done
decode_points=$((tried - encode_points))

# Decoding a sealed container: the container is intact and nothing stands
# under the restored name but the complete tree; what a kill leaves staged
# is the user's alone (0700), and the next decode overwrites and removes it.
fresh sdec sealed.zol
total=$(points sdec "$sealed_password" decode T.zol)
cleaned=0
for ((k = 1; k <= total; k += step)); do
  fresh sdec sealed.zol
  killed_at $k "sealed decode" crashing_in sdec "$sealed_password" decode T.zol
  [ ! -e sdec/T ] || [ "$(listing sdec/T)" = "$expected_exact" ] ||
    fail "sealed decode point $k: an incomplete tree under the restored name"
  staged=$(find sdec -mindepth 1 -maxdepth 1 -name '.velmora-*')
  if [ -n "$staged" ]; then
    # Empty, it may not have been made the user's alone yet.
    [ "$(stat -c %a "$staged")" = 700 ] || [ -z "$(ls -A "$staged")" ] ||
      fail "sealed decode point $k: staging readable by others"
    [ "$(sha256sum < sdec/T.zol)" = "$sealed_sum" ] || fail "sealed decode point $k: staged and container gone"
    expect_status 0 -e interrumpida \
      sh -c "cd sdec && echo '$sealed_password' | '$cli' decode T.zol --password-stdin"
    [ -z "$(find sdec -mindepth 1 -maxdepth 1 -name '.velmora-*')" ] ||
      fail "sealed decode point $k: the next decode left the staging folder"
    [ "$(listing sdec/T)" = "$expected_exact" ] || fail "sealed decode point $k: restored wrong"
    cleaned=$((cleaned + 1))
  elif [ -f sdec/T.zol ]; then
    [ "$(sha256sum < sdec/T.zol)" = "$sealed_sum" ] || fail "sealed decode point $k: container changed"
  else
    [ -d sdec/T ] || fail "sealed decode point $k: container gone and nothing restored"
  fi
done
# Interrupts in every phase of every command, each sent right after a chosen
# operation of that phase (VELMORA_SIGNAL_AT), so that none depends on the
# machine's speed. The run ends with status 130 as "Cancelar" does, before
# the phase is over (the operation that would end it is never called after
# the signal), within a generous bound; nothing is lost, no container, no
# partial or staged file is left, and a container decoded or converted is
# intact.
interrupted=0
while read -r command option signal at never _; do
  [ -n "$command" ] && [ "${command:0:1}" != "#" ] || continue
  row="$command $option SIG$signal at $at"
  rm -f after
  case $command in seal|encode) from= ;; decode-sealed) from=sealed.zol ;; *) from=container.zol ;; esac
  fresh int "$from"
  target=T${from:+.zol}
  case $command in
    seal|decode-sealed) typed=$sealed_password ;;
    convert) typed=$(printf '%s\n' clave "$sealed_password") ;;
    *) typed=clave ;;
  esac
  options=()
  [ "$option" = - ] || options=("$option")
  status=0
  (cd int && printf '%s\n' "$typed" | VELMORA_SIGNAL_AT=$at VELMORA_KILL_SIGNAL=$(kill -l "$signal") \
    VELMORA_AFTER_FILE="$work/after" "$crashing" "${command%-*}" "$target" "${options[@]}" \
    --password-stdin > /dev/null 2>&1) || status=$?
  ended=$(date +%s.%N)
  [ "$status" -eq 130 ] || fail "$row: status $status"
  [ -f after ] || fail "$row: the signal was not sent"
  awk -v sent="$(head -n 1 after)" -v ended="$ended" 'BEGIN { exit !(ended - sent < 5) }' ||
    fail "$row: ended $(awk -v s="$(head -n 1 after)" -v e="$ended" 'BEGIN { print e - s }') s after the signal"
  [ "$never" = - ] || ! tail -n +2 after | grep -qx "$never" || fail "$row: $never after the signal"
  case $command in
    seal|encode)
      if [ "$never" = - ]; then  # the wipe: the container is kept whole
        restores int/T.zol "$sealed_password" "$expected_exact" || fail "$row: container lost data"
        # Every entry still in the folder is an original one, byte for byte.
        changed=$(listing int/T | LC_ALL=C comm -13 <(echo "$expected_exact") -) ||
          fail "$row: no folder"
        [ -z "$changed" ] || fail "$row: a file was left changed: $changed"
      else
        [ "$(ls -A int)" = T ] || fail "$row: left $(ls -A int | tr '\n' ' ')"
        [ "$(listing int/T)" = "$expected_exact" ] || fail "$row: the folder changed"
      fi ;;
    *)
      [ "$command" = decode-legacy ] || [ "$(ls -A int)" = T.zol ] || fail "$row: left $(ls -A int | tr '\n' ' ')"
      [ "$(sha256sum < int/T.zol)" = "$(sha256sum < "$from")" ] || fail "$row: container changed" ;;
  esac
  interrupted=$((interrupted + 1))
done <<'ROWS'
# command      option signal after-operation never-after
seal           --keep INT    ListFolderAt:2  Create        # the scan
seal           -      TERM   ListFolderAt:4  Create        # the key's derivation, the scan over
seal           --keep INT    Read:2          RenameAt      # the pack
seal           -      HUP    Read:2          ReopenUncached
seal           -      INT    ReopenUncached:1 RenameAt     # the check read back from the disk
encode         --keep TERM   Read:2          RenameAt
encode         -      INT    ReopenUncached:1 RenameAt
seal           -      INT    OpenToWrite:1   -             # the wipe
decode-sealed  -      TERM   Write:2         RenameAt      # the restore
decode-sealed  --keep INT    Write:2         RenameAt
decode-legacy  -      INT    Write:2         -
convert        -      TERM   Write:1         RenameAt      # the check of the sealed one
ROWS
echo "crash injection: $tried kill points tried ($encode_points while encoding, $decode_points while decoding, $((tried - encode_points - decode_points)) while decoding a sealed container, $cleaned leftovers cleaned by the next decode), $interrupted phases interrupted; nothing lost; $wiped_points interrupted wipes explained by the next run"
