#!/usr/bin/env bash
# Kills velmora-cli with SIGKILL right after each operation that changes the
# disk while it rewrites a container (each row of the table at the end:
# convert, a legacy container into a sealed one; repair, a damaged sealed
# container into a sound one), and checks after every kill that nothing was
# lost:
#   - the container read is intact, byte for byte (as T.zol, or under the
#     name the job moves it to), or a new one is there that decodes to the
#     original tree (repair: and verifies sound) (as T.zol, or under the
#     name it is written as), or both; never neither;
#   - whatever holds the name T.zol is the intact old container or a sound
#     new one;
#   - no file takes a name that a later encode removes as an abandoned
#     partial container (T.zol.parcial*);
#   - while the old container still holds its name, or none does (killed
#     between the renames), what the kill left does not block the job run
#     again: it succeeds (the old container given its name back first), and
#     an unfinished new container left is removed, said in one line.
# Usage: crash_injection_convert.sh CRASHING-CLI CLI [STEP]  (STEP > 1 tries
# every STEP-th point only). Prints the number of kill points tried.
. "$(dirname "$0")/crash_support.sh"

mkdir -p original/Sub/Más original/Vacía
printf 'uno' > original/Carta.Txt
head -c 140000 /dev/urandom > original/Sub/Grande.bin
printf 'dos' > original/Sub/Más/Nota.TXT
expected=$(listing original)

# The old containers: legacy, and sealed with one byte of its first chunk
# changed (the parity rebuilds it).
mkdir enc && cp -a original enc/T
(cd enc && echo clave | "$cli" encode T --password-stdin > /dev/null)
mv enc/T.zol legacy.zol && cp -a original enc/T
(cd enc && echo "$sealed_password" | "$cli" seal T --password-stdin > /dev/null)
mv enc/T.zol damaged.zol && rm -rf enc
"$tests/flip_byte.py" damaged.zol 150

run() {  # the program: the job on conv/T.zol (convert asks the legacy password first)
  (cd conv && { [ "$job" = repair ] || echo clave; echo "$sealed_password"; } |
    "$@" "$job" T.zol --password-stdin > out.txt 2>&1)
}
is_old() { [ -f "$1" ] && [ "$(sha256sum < "$1")" = "$old_sum" ]; }
is_new() {  # a sealed container restores the original tree (repair: and is sound)
  is_sealed "$1" && ! is_old "$1" && restores "$1" "$sealed_password" "$expected" || return 1
  [ "$job" != repair ] ||
    echo "$sealed_password" | "$cli" verify check/T.zol --password-stdin > /dev/null 2>&1
}

report=""
# job | old container | names the old one may have | the new one's | its unfinished name | said on its removal
while IFS='|' read -r -u 3 job old olds news unfinished said; do
  old_sum=$(sha256sum < "$old")
  rm -rf conv && mkdir conv && cp "$old" conv/T.zol
  VELMORA_POINTS_FILE="$work/points" run "$crashing"
  total=$(cat points)
  is_new conv/T.zol || fail "$job: a complete run failed"
  tried=0
  swapped=0
  given_back=0
  for ((k = 1; k <= total; k += step)); do
    rm -rf conv && mkdir conv && cp "$old" conv/T.zol
    killed_at $k "$job" run "$crashing"
    ! compgen -G 'conv/T.zol.parcial*' > /dev/null || fail "$job point $k: a partial container's name"
    kept=0  # the old container or a new one
    for f in conv/${olds// / conv/}; do is_old "$f" && kept=1; done
    for f in conv/${news// / conv/}; do is_new "$f" && kept=1; done
    [ "$kept" = 1 ] ||
      fail "$job point $k: neither the old container nor a new one ($(ls -A conv | tr '\n' ' '))"
    if is_old conv/T.zol || [ ! -e conv/T.zol ]; then
      left=0
      is_old conv/T.zol && [ -e "conv/$unfinished" ] && left=1
      [ -e conv/T.zol ] || given_back=$((given_back + 1))
      run "$cli" || fail "$job point $k: what the kill left blocks a new run"
      is_new conv/T.zol || fail "$job point $k: the new run lost data"
      [ ! -e "conv/$unfinished" ] || fail "$job point $k: the abandoned new container stayed"
      [ "$left" = 0 ] || grep -q "$said" conv/out.txt || fail "$job point $k: its removal was not said"
    else
      is_new conv/T.zol || fail "$job point $k: T.zol holds neither container"
      swapped=$((swapped + 1))
    fi
  done
  report="$report${report:+; }$job: $tried kill points tried ($swapped after the new container took the name, $given_back between the renames)"
done 3<<EOF
convert|legacy.zol|T.zol T.zol.antiguo*|T.zol T.zol.convirtiendo*|T.zol.convirtiendo|conversión interrumpida
repair|damaged.zol|T.zol .T.zol.antes-de-reparar*|T.zol .T.zol.reparando*|.T.zol.reparando|reparación interrumpida
EOF
echo "crash injection while converting and repairing: $report; nothing lost"
