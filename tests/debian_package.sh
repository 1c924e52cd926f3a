#!/usr/bin/env bash
# The Debian package: built from this build tree, its files and modes, its
# control data, lintian, and the unpacked programs and desktop files working.
set -euo pipefail
build_deb="$1"
build="$2"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

deb=$("$build_deb" "$build" "$work/out")
[ "$(basename "$deb")" = "velmora_2.0-1_$(dpkg --print-architecture).deb" ] || fail "named $deb"

# Every file the package must hold, with its mode (links with their target).
dpkg-deb -c "$deb" | awk '{ line = $1 " " $6; if ($7 == "->") line = line " -> " $8; print line }' \
  > "$work/listing"
expected="
lrwxrwxrwx ./usr/bin/velmora -> ../lib/velmora/velmora
lrwxrwxrwx ./usr/bin/velmora-cli -> ../lib/velmora/velmora-cli
-rwxr-xr-x ./usr/lib/velmora/velmora
-rwxr-xr-x ./usr/lib/velmora/velmora-cli
-rwxr-xr-x ./usr/lib/velmora/velmora-open
-rwxr-xr-x ./usr/lib/velmora/velmora-encriptar
-rw-r--r-- ./usr/lib/velmora/secreto.ico
-rw-r--r-- ./usr/lib/velmora/velmora.hlp
-rw-r--r-- ./usr/share/mime/packages/velmora.xml
-rw-r--r-- ./usr/share/applications/velmora-zol.desktop
-rwxr-xr-x ./usr/share/kio/servicemenus/velmora-encriptar.desktop
-rw-r--r-- ./usr/share/nemo/actions/velmora-encriptar.nemo_action
-rw-r--r-- ./usr/share/man/man1/velmora.1.gz
-rw-r--r-- ./usr/share/man/man1/velmora-cli.1.gz
-rw-r--r-- ./usr/share/doc/velmora/copyright
-rw-r--r-- ./usr/share/doc/velmora/changelog.Debian.gz"
for size in 16 22 24 32 48 64 128 256; do
  expected+="
-rw-r--r-- ./usr/share/icons/hicolor/${size}x${size}/mimetypes/application-x-velmora-zol.png"
done
while read -r line; do
  [ -z "$line" ] || grep -qxF -- "$line" "$work/listing" || fail "package lacks: $line"
done <<< "$expected"
dpkg-deb -c "$deb" | awk '$2 != "root/root" { exit 1 }' || fail "a file not owned by root"

# Control data: libraries from dpkg-shlibdeps, the fonts, no maintainer scripts.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libc6 fonts-comic-neue fonts-liberation2; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | sort | tr '\n' ' ' | grep -qx '\./ \./control \./md5sums ' ||
  fail "control files: $(dpkg-deb --ctrl-tarfile "$deb" | tar -t | tr '\n' ' ')"
lintian "$deb" > "$work/lintian" 2>&1 || { cat "$work/lintian" >&2; fail "lintian reports errors"; }

# Unpacked into a scratch root: stripped programs, and velmora-cli (through
# its link in bin) round-trips a folder.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for program in velmora velmora-cli; do
  ! readelf -S "$root/usr/lib/velmora/$program" | grep -q '\.debug_info' || fail "$program not stripped"
done
cli="$root/usr/bin/velmora-cli"
mkdir -p "$work/files/MIS DATOS/SUB" && cd "$work/files"
printf 'hola' > "MIS DATOS/A.TXT"
head -c 70000 /dev/urandom > "MIS DATOS/SUB/B.BIN"
cp -r "MIS DATOS" original
echo clave | "$cli" encode "MIS DATOS" --password-stdin > /dev/null || fail "encode"
{ [ ! -e "MIS DATOS" ] && [ -f "MIS DATOS.zol" ]; } || fail "encode left no container"
echo clave | "$cli" decode "MIS DATOS.zol" --password-stdin > /dev/null || fail "decode"
diff -r original "MIS DATOS" || fail "the restored folder differs"

# The manual page names every command and option that --help does.
"$cli" --help > "$work/help"
zcat "$root/usr/share/man/man1/velmora-cli.1.gz" | sed 's/\\-/-/g' > "$work/man"
for word in encode decode list register $(grep -oE -- '(^| |\[)--?[a-zA-Z][a-z-]*' "$work/help" |
                                           tr -d ' [' | sort -u); do
  grep -qF -- "$word" "$work/man" || fail "velmora-cli(1) lacks $word"
done

# The desktop files: the entry validates, and with the package's share
# folder as a system data folder the type is known and opens with it.
desktop-file-validate "$root/usr/share/applications/velmora-zol.desktop" || fail "desktop entry"
update-mime-database "$root/usr/share/mime" > /dev/null 2>&1
[ -f "$root/usr/share/mime/application/x-velmora-zol.xml" ] || fail "MIME package not understood"
update-desktop-database "$root/usr/share/applications" > /dev/null 2>&1
printf 'not empty' > "$work/files/Una caja.ZOL"
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
export XDG_DATA_DIRS="$root/usr/share:/usr/share" XDG_CURRENT_DESKTOP=GNOME
[ "$(xdg-mime query filetype "$work/files/Una caja.ZOL")" = application/x-velmora-zol ] ||
  fail "the type of a .zol file"
[ "$(xdg-mime query default application/x-velmora-zol)" = velmora-zol.desktop ] ||
  fail "the default application of the type"
echo "package checked: $(basename "$deb")"
