#!/usr/bin/env bash
# Kills velmora-cli with SIGKILL right after each operation that changes the
# disk while it converts a legacy container into a sealed one, and checks
# after every kill that nothing was lost:
#   - the legacy container is intact (as T.zol, or as T.zol.antiguo*), or a
#     sealed container is there that decodes to the original tree (as T.zol,
#     or as T.zol.convirtiendo*), or both; never neither;
#   - whatever holds the name T.zol is the intact legacy container or a
#     sealed container that decodes;
#   - no file takes a name that a later encode removes as an abandoned
#     partial container (T.zol.parcial*);
#   - while the legacy container still holds its name, what the kill left
#     does not block a new conversion.
# Usage: crash_injection_convert.sh CRASHING-CLI CLI [STEP]  (STEP > 1 tries
# every STEP-th point only). Prints the number of kill points tried.
set -euo pipefail
crashing=$(realpath "$1")
cli=$(realpath "$2")
step="${3:-1}"
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
sealed_password='contraseña sellada'

fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p original/Sub/Más original/Vacía
printf 'uno' > original/Carta.Txt
head -c 140000 /dev/urandom > original/Sub/Grande.bin
printf 'dos' > original/Sub/Más/Nota.TXT
# The tree as a sealed container gives it back: exact names, with contents.
listing() { (cd "$1" && find . -mindepth 1 | LC_ALL=C sort | while read -r p; do
  if [ -f "$p" ]; then echo "$p $(sha256sum < "$p" | cut -c1-16)"; else echo "$p/"; fi; done); }
expected=$(listing original)

mkdir enc && cp -a original enc/T
(cd enc && echo clave | "$cli" encode T --password-stdin > /dev/null)
mv enc/T.zol legacy.zol && rm -rf enc
legacy_sum=$(sha256sum < legacy.zol)

convert() {  # the program, in conv/
  (cd conv && printf '%s\n' clave "$sealed_password" | "$@" convert T.zol --password-stdin \
    > out.txt 2>&1)
}
is_legacy() { [ -f "$1" ] && [ "$(sha256sum < "$1")" = "$legacy_sum" ]; }
is_sealed() { [ -f "$1" ] && [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 8956656c6d6f7261 ]; }
decodes() {  # a sealed container restores the original tree
  rm -rf check && mkdir check && cp "$1" check/T.zol
  echo "$sealed_password" | "$cli" decode check/T.zol --password-stdin > /dev/null 2>&1 &&
    [ "$(listing check/T)" = "$expected" ]
}

mkdir conv && cp legacy.zol conv/T.zol
VELMORA_POINTS_FILE="$work/points" convert "$crashing"
total=$(cat points)
is_sealed conv/T.zol && decodes conv/T.zol || fail "a complete conversion failed"

tried=0
swapped=0
for ((k = 1; k <= total; k += step)); do
  rm -rf conv && mkdir conv && cp legacy.zol conv/T.zol
  set +e
  VELMORA_KILL_AT=$k convert "$crashing" 2>/dev/null
  status=$?
  set -e
  [ "$status" -eq 137 ] || fail "point $k: not killed (status $status)"
  tried=$((tried + 1))
  ! compgen -G 'conv/T.zol.parcial*' > /dev/null || fail "point $k: a partial container's name"
  legacy_kept=0
  for f in conv/T.zol conv/T.zol.antiguo*; do is_legacy "$f" && legacy_kept=1; done
  sealed_kept=0
  for f in conv/T.zol conv/T.zol.convirtiendo*; do
    is_sealed "$f" && decodes "$f" && sealed_kept=1
  done
  [ "$legacy_kept" = 1 ] || [ "$sealed_kept" = 1 ] ||
    fail "point $k: neither the legacy container nor a sealed one ($(ls conv | tr '\n' ' '))"
  if is_legacy conv/T.zol; then
    left=0
    [ -e conv/T.zol.convirtiendo ] && left=1
    convert "$cli" || fail "point $k: what the kill left blocks a new conversion"
    is_sealed conv/T.zol && decodes conv/T.zol || fail "point $k: the new conversion lost data"
    # An unfinished sealed container beside the legacy one is removed, said once.
    if [ "$left" = 1 ]; then
      [ ! -e conv/T.zol.convirtiendo ] || fail "point $k: the abandoned sealed container stayed"
      grep -q 'conversión interrumpida' conv/out.txt || fail "point $k: its removal was not said"
    fi
  else
    is_sealed conv/T.zol && decodes conv/T.zol || [ ! -e conv/T.zol ] ||
      fail "point $k: T.zol holds neither container"
    swapped=$((swapped + 1))
  fi
done
echo "crash injection while converting: $tried kill points tried ($swapped after the sealed container took the name or in the swap); nothing lost"
