#!/usr/bin/env bash
# velmora-cli on the file systems users mount, each on a small loop-backed
# image: NTFS (ntfs-3g), exFAT (exfat-fuse), FAT (fusefat), btrfs, xfs, tmpfs
# (seal/decode and encode/decode give the tree back), and an overlay whose
# lower layer holds the tree (the wipe must accept each file's copy-up).
# Root only; 77 when not root or a tool, /dev/fuse or /dev/loop-control is
# missing. Every mount and loop device is undone on exit, failing or not.
set -euo pipefail
tests="$(cd "$(dirname "$0")" && pwd)"
cli=$(realpath "$1")
shift
kinds=${*:-ntfs exfat fat btrfs xfs tmpfs overlay}  # or those named after the program
[ "$(id -u)" = 0 ] || { echo "skipped: needs root"; exit 77; }
for tool in ntfs-3g mkfs.ntfs mount.exfat-fuse mkfs.exfat fusefat mkfs.vfat mkfs.btrfs \
            mkfs.xfs losetup fusermount mountpoint; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
[ -c /dev/fuse ] && [ -c /dev/loop-control ] || { echo "skipped: no /dev/fuse or loop devices"; exit 77; }

work=$(mktemp -d)
loops=()
cleanup() {
  for m in "$work"/mnt/*; do
    mountpoint -q "$m" 2>/dev/null || continue
    fusermount -u "$m" 2>/dev/null || umount "$m" 2>/dev/null || umount -l "$m" || true
  done
  for l in "${loops[@]}"; do losetup -d "$l" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mount_fs() {  # kind mount-point
  local kind=$1 dir=$2 img="$work/$1.img"
  mkdir -p "$dir"
  case $kind in
    tmpfs) mount -t tmpfs -o size=64m tmpfs "$dir" ;;
    ntfs) truncate -s 64M "$img"; mkfs.ntfs -q -F -f "$img" >/dev/null 2>&1
          ntfs-3g "$img" "$dir" ;;
    exfat) truncate -s 64M "$img"; local loop; loop=$(losetup -f --show "$img"); loops+=("$loop")
           mkfs.exfat "$loop" >/dev/null; mount.exfat-fuse "$loop" "$dir" >/dev/null ;;
    fat) truncate -s 64M "$img"; mkfs.vfat -F 32 "$img" >/dev/null
         fusefat -o rw+ "$img" "$dir" >/dev/null 2>&1 ;;
    btrfs) truncate -s 128M "$img"; mkfs.btrfs -q "$img" >/dev/null; mount -o loop "$img" "$dir" ;;
    xfs) truncate -s 320M "$img"; mkfs.xfs -q "$img" >/dev/null; mount -o loop "$img" "$dir" ;;
    overlay)  # the tree in the lower layer: each file is copied up at the wipe's open
      local layers="$work/mnt/ovl-layers"
      mkdir -p "$layers" && mount -t tmpfs -o size=64m tmpfs "$layers"
      mkdir "$layers/lower" "$layers/upper" "$layers/work"
      make_tree "$layers/lower/Datos" seal overlay
      mount -t overlay overlay -o "lowerdir=$layers/lower,upperdir=$layers/upper,workdir=$layers/work" "$dir" ;;
  esac
}

make_tree() {  # folder, seal|encode, kind: names outside ASCII but on fusefat
  local n=ñ l=Łódź
  [ "$3" = fat ] && n=n l=L  # fusefat makes none (EPERM)
  mkdir -p "$1/A$n/vac$n" "$1/sub"
  printf 'ñandú' > "$1/A$n/$n.txt"
  head -c 150000 /dev/urandom > "$1/sub/grande.bin"
  : > "$1/vac$n"
  [ "$2" = seal ] && printf 'x' > "$1/A$n/$l.txt"
  touch -d '2001-02-03 04:05:06' "$1/A$n/$n.txt"
  [ "$3" = fat ] || chmod 640 "$1/sub/grande.bin"
  return 0
}

describe() {  # folder, modes kept, times kept: every entry's kind, size, content hash, mode, time
  (cd "$1" && find . -mindepth 1 | LC_ALL=C sort | while read -r p; do
     local mode="" time=""
     [ "$2" = 1 ] && mode=$(stat -c %a "$p")
     [ "$3" = seal ] && [ -f "$p" ] && time=$(stat -c %Y "$p")
     if [ -d "$p" ]; then echo "$p/ $mode"
     else echo "$p $mode $time $(stat -c %s "$p") $(sha256sum < "$p" | cut -c1-16)"; fi
   done)
}

# velmora-cli run in the mount point with the password, its output in $work/out.
velmora() { (cd "$dir" && printf '%s\n' "$password" | "$cli" "$@" --password-stdin) >"$work/out" 2>&1; }

round_trip() {  # kind, seal|encode, mount point, whether modes and times are kept
  local kind=$1 how=$2 dir=$3 modes=$4 times=$5 decode_options="" password='Contraseña de prueba'
  [ "$how" = encode ] && decode_options=--original-case password='Clave ñ'
  [ "$kind" = overlay ] || make_tree "$dir/Datos" "$how" "$kind"
  local before; before=$(describe "$dir/Datos" "$modes" "$times")
  if ! velmora "$how" Datos; then
    # fusefat may write a piece before a file's end at its end, and read
    # other data from a hole: a container it garbles must be refused by the
    # check, the folder untouched. Anywhere else a refusal is a failure.
    [ "$kind" = fat ] && [ ! -e "$dir/Datos.zol" ] &&
      [ "$(describe "$dir/Datos" "$modes" "$times")" = "$before" ] || { cat "$work/out"; fail "$kind: $how"; }
    rm -rf "${dir:?}/Datos"
    echo "$kind: $how refused by the check, nothing touched: $(head -c 80 "$work/out")"
    return
  fi
  [ -f "$dir/Datos.zol" ] && [ ! -e "$dir/Datos" ] || fail "$kind: $how left no container or the folder"
  if [ "$how" = seal ]; then
    # repair: the container copied (a clone, a copy in the kernel or reads
    # and writes, as the file system allows) and its damaged chunk patched.
    cp "$dir/Datos.zol" "$work/sealed.zol"
    "$tests/flip_byte.py" "$dir/Datos.zol" 150
    velmora repair Datos.zol || { cat "$work/out"; fail "$kind: repair"; }
    cmp -s "$dir/Datos.zol" "$work/sealed.zol" || fail "$kind: repair did not give the sealed bytes back"
  fi
  local container; container=$(sha256sum < "$dir/Datos.zol")
  if ! velmora decode Datos.zol $decode_options; then
    # fusefat loses what a folder holds when it renames it: a restore that
    # publishes by renaming its staging folder must refuse before renaming,
    # the container kept, nothing published and no staging left.
    [ "$kind" = fat ] && [ "$(sha256sum < "$dir/Datos.zol")" = "$container" ] &&
      [ ! -e "$dir/Datos" ] && ! ls -A "$dir" | grep -q '^\.velmora-' ||
      { cat "$work/out"; fail "$kind: decode of $how"; }
    rm -rf "${dir:?}/Datos" "$dir"/.Datos* "$dir/Datos.zol"
    echo "$kind: decode of $how refused, container kept: $(head -c 100 "$work/out")"
    return
  fi
  [ ! -e "$dir/Datos.zol" ] || fail "$kind: decode of $how kept the container"
  [ "$(describe "$dir/Datos" "$modes" "$times")" = "$before" ] || {
    diff <(echo "$before") <(describe "$dir/Datos" "$modes" "$times") >&2 || true
    fail "$kind: $how then decode changed the tree"; }
  rm -rf "${dir:?}/Datos"
  echo "$kind: $how and decode, tree restored"
}

for kind in $kinds; do
  dir="$work/mnt/$kind"
  mount_fs "$kind" "$dir"
  modes=1 times=seal  # exfat-fuse gives restored files the restore's time (unexplained)
  case $kind in ntfs | fat) modes=0 ;; exfat) modes=0 times=no ;; esac
  round_trip "$kind" seal "$dir" "$modes" "$times"
  [ "$kind" = overlay ] && continue  # its tree was the lower layer's
  round_trip "$kind" encode "$dir" 0 no  # the legacy kind keeps neither
done
