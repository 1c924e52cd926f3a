#!/usr/bin/env bash
# The Debian package: built from this build tree, its files and modes, its
# control data, lintian, and the unpacked programs and desktop files working:
# from the MIME and desktop databases as file managers read them, and both
# folder verbs for each file manager (Nautilus through its extension).
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
expected=$(
  printf 'lrwxrwxrwx ./usr/bin/%s -> ../lib/velmora/%s\n' velmora velmora velmora-cli velmora-cli
  printf -- '-rwxr-xr-x ./usr/%s\n' lib/velmora/velmora{,-cli,-open,-encriptar,-encriptar-seguro} \
    share/kio/servicemenus/velmora-encriptar.desktop
  printf -- '-rw-r--r-- ./usr/%s\n' lib/velmora/{secreto.ico,velmora-legacy.ico,velmora.hlp} \
    share/mime/packages/velmora.xml share/applications/{velmora-zol,org.example.velmora}.desktop \
    share/metainfo/org.example.velmora.metainfo.xml \
    share/nemo/actions/velmora-encriptar{,-seguro}.nemo_action \
    share/{file-manager/actions,Thunar/sendto}/velmora-encriptar{,-seguro}.desktop \
    share/nautilus-python/extensions/velmora.py share/velmora/screenshots/sealing.png \
    share/man/man1/velmora{,-cli}.1.gz share/bash-completion/completions/velmora-cli \
    share/doc/velmora/{copyright,changelog.Debian.gz} \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/mimetypes/application-x-velmora-zol.png \
    share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/actions/velmora-legacy.png)
missing=$(grep -vxF -f "$work/listing" <<< "$expected") || true
[ -z "$missing" ] || fail "package lacks: $missing"
dpkg-deb -c "$deb" | awk '$2 != "root/root" { exit 1 }' || fail "a file not owned by root"

# Control data: libraries from dpkg-shlibdeps, the packages holding the
# plugins the windows load (the X11 platform, GIF and ICO), the fonts; one
# maintainer script, which tells how users remove their own registrations.
depends=$(dpkg-deb -f "$deb" Depends)
plugin_packages=$(for plugin in platforms/libqxcb.so imageformats/libqgif.so imageformats/libqico.so; do
  dpkg -S "*/qt6/plugins/$plugin" | cut -d: -f1
done)
for needed in libqt6widgets6 libc6 fonts-comic-neue fonts-liberation2 $plugin_packages; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
    fail "Depends lacks $needed: $depends"
done
[[ ", $(dpkg-deb -f "$deb" Recommends)," == *", python3-nautilus,"* ]] ||
  fail "Recommends lacks python3-nautilus"
dpkg-deb --ctrl-tarfile "$deb" | tar -t | sort | tr '\n' ' ' |
  grep -qx '\./ \./control \./md5sums \./postrm ' ||
  fail "control files: $(dpkg-deb --ctrl-tarfile "$deb" | tar -t | tr '\n' ' ')"
dpkg-deb -e "$deb" "$work/control"
grep -q 'velmora-cli unregister' <<< "$("$work/control/postrm" remove)" ||
  fail "removing the package does not tell how a user's registration goes"
[ -z "$("$work/control/postrm" upgrade)" ] || fail "an upgrade talks of removal"
lintian "$deb" > "$work/lintian" 2>&1 || { cat "$work/lintian" >&2; fail "lintian reports errors"; }

# Unpacked into a scratch root (a program left unstripped is lintian's error,
# unstripped-binary-or-object); velmora-cli runs through its link in bin (its
# --help is read below; the round trip of the same build's program:
# cli_round_trip.sh).
root="$work/root"
dpkg-deb -x "$deb" "$root"
grep -qx 'License: Expat' "$root/usr/share/doc/velmora/copyright" ||
  fail "the copyright file names no licence"
cli="$root/usr/bin/velmora-cli"
mkdir -p "$work/files/original" && cd "$work/files"
: > "MIS DATOS.zol"
# The installed completion offers the commands, then containers and
# folders for list.
completions=$(bash -c '. "$1"; c() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _velmora_cli
  printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd,; }
  c velmora-cli se; c velmora-cli list ""; c velmora-cli list x --j' _ \
  "$root/usr/share/bash-completion/completions/velmora-cli" 2>/dev/null)
[ "$completions" = "$(printf 'seal\nMIS DATOS.zol,original\n--json')" ] ||
  fail "the completion offers: $completions"

# The manual page names every command and option that --help does, and
# lists every exit status --help gives; velmora(1) has its own.
"$cli" --help > "$work/help"
zcat "$root/usr/share/man/man1/velmora-cli.1.gz" | sed 's/\\-/-/g' > "$work/man"
for word in encode seal decode list verify register unregister \
            $(grep -oE -- '(^| |\[)--?[a-zA-Z][a-z-]*' "$work/help" | tr -d ' [' | sort -u); do
  grep -qF -- "$word" "$work/man" || fail "velmora-cli(1) lacks $word"
done
statuses=$(sed -n '/^Estado de salida:/,$p' "$work/help" | grep -oE '(^|[ ,:])[0-9]+ ' | tr -d ' ,:')
[ "$(echo "$statuses" | wc -w)" -ge 7 ] || fail "--help lists the exit statuses: $statuses"
missing=$(sed 's/^/.B /' <<< "$statuses" |
  grep -vxF -f <(sed -n '/^\.SH EXIT STATUS/,/^\.SH [A-Z]/p' "$work/man")) || true
[ -z "$missing" ] || fail "velmora-cli(1) lacks exit statuses: $missing"
zcat "$root/usr/share/man/man1/velmora.1.gz" | grep -q '^\.SH EXIT STATUS' ||
  fail "velmora(1) lacks its exit status"

# The desktop files: entries validate (each error naming its file), and so
# do the AppStream metadata.
share="$root/usr/share"
desktop-file-validate "$share"/applications/{velmora-zol,org.example.velmora}.desktop \
  "$share"/Thunar/sendto/velmora-encriptar{,-seguro}.desktop ||
  fail "a desktop entry does not validate"
appstreamcli validate --no-net "$share/metainfo/org.example.velmora.metainfo.xml" > "$work/appstream" ||
  { cat "$work/appstream" >&2; fail "AppStream metadata"; }
grep -qx '  <launchable type="desktop-id">org.example.velmora.desktop</launchable>' \
  "$share/metainfo/org.example.velmora.metainfo.xml" || fail "AppStream names another entry"
# Its screenshots' addresses are the site's copies of pictures the package
# ships.
shots=$(grep -o 'https://velmora.example.org/screenshots/[a-z-]*\.png' \
  "$share/metainfo/org.example.velmora.metainfo.xml" | sed 's|.*/||')
[ "$(echo "$shots" | wc -w)" -ge 2 ] || fail "AppStream shows $shots"
for shot in $shots; do
  file "$share/velmora/screenshots/$shot" | grep -q 'PNG image' || fail "no picture $shot"
done

# The databases, built as dpkg's triggers build them, with the package's
# share folder as a system data folder.
update-mime-database "$share/mime" > /dev/null 2>&1
[ -f "$share/mime/application/x-velmora-zol.xml" ] || fail "MIME package not understood"
update-desktop-database "$share/applications" > /dev/null 2>&1
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
export XDG_DATA_DIRS="$share:/usr/share" XDG_CURRENT_DESKTOP=GNOME
mkdir -p "$HOME"

# The type opened by the package's entry, its description in English with a
# Spanish translation. (The package's type file is the per-user
# registration's, byte for byte: desktop_integration_test reads how the
# desktop takes it, its globs and icons.)
[ "$(xdg-mime query default application/x-velmora-zol)" = velmora-zol.desktop ] ||
  fail "the default application of the type"
grep -q '<comment>Folder encrypted by Velmora</comment>' "$share/mime/application/x-velmora-zol.xml" &&
  grep -q '<comment xml:lang="es">Carpeta de Archivos Encriptada por Velmora</comment>' \
    "$share/mime/application/x-velmora-zol.xml" || fail "the type's description"

# One value of a desktop file: FILE GROUP KEY.
value() {
  awk -v group="[$2]" -v key="$3" '
    /^\[/ { in_group = ($0 == group); next }
    in_group && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$1"
}
# The menu entry: velmora alone, described in Spanish too. The file
# managers' files: the keys no other test reads (the rest, names, icons,
# commands run and selections, are the per-user registration's, which
# desktop_integration_test reads and finds equal to these files).
while IFS='|' read -r file group key wanted; do
  [ "$(value "$share/$file" "$group" "$key")" = "$wanted" ] || fail "$file: $key is not $wanted"
done <<'KEYS'
applications/org.example.velmora.desktop|Desktop Entry|Exec|velmora
applications/org.example.velmora.desktop|Desktop Entry|Comment[es]|Guarda una carpeta en un contenedor protegido con contraseña
kio/servicemenus/velmora-encriptar.desktop|Desktop Entry|MimeType|inode/directory;
kio/servicemenus/velmora-encriptar.desktop|Desktop Entry|X-KDE-RequiredNumberOfUrls|1
kio/servicemenus/velmora-encriptar.desktop|Desktop Entry|X-KDE-Protocols|file
kio/servicemenus/velmora-encriptar.desktop|Desktop Action encriptar|Exec|"/usr/lib/velmora/velmora-encriptar" %f
kio/servicemenus/velmora-encriptar.desktop|Desktop Action encriptar-seguro|Exec|"/usr/lib/velmora/velmora-encriptar-seguro" %f
nemo/actions/velmora-encriptar.nemo_action|Nemo Action|Exec|"/usr/lib/velmora/velmora-encriptar" %F
nemo/actions/velmora-encriptar-seguro.nemo_action|Nemo Action|Exec|"/usr/lib/velmora/velmora-encriptar-seguro" %F
file-manager/actions/velmora-encriptar.desktop|Desktop Entry|Type|Action
file-manager/actions/velmora-encriptar-seguro.desktop|Desktop Entry|Type|Action
file-manager/actions/velmora-encriptar.desktop|Desktop Entry|TargetLocation|
file-manager/actions/velmora-encriptar-seguro.desktop|Desktop Entry|TargetLocation|
Thunar/sendto/velmora-encriptar.desktop|Desktop Entry|MimeType|inode/directory;
Thunar/sendto/velmora-encriptar-seguro.desktop|Desktop Entry|MimeType|inode/directory;
Thunar/sendto/velmora-encriptar.desktop|Desktop Entry|Name[es]|Encriptar...
Thunar/sendto/velmora-encriptar-seguro.desktop|Desktop Entry|Name[es]|Encriptar (seguro)...
KEYS
for verb in "encriptar-seguro|/S " "encriptar|"; do
  IFS='|' read -r id prefix <<< "$verb"
  wrapper="/usr/lib/velmora/velmora-$id"
  # The wrapper, with the program it starts standing in: one argument, the
  # verb's prefix and the folder's exact path, run in the folder's parent.
  sed "s|^exec /usr/lib/velmora/velmora |exec $work/record |" "$root$wrapper" > "$work/wrapper"
  printf '#!/bin/sh\n{ pwd; printf "%%s\\n" "$#" "$1"; } > %s/recorded\n' "$work" > "$work/record"
  chmod +x "$work/wrapper" "$work/record"
  mkdir -p "$work/files/a \$b 'c' d"
  "$work/wrapper" "$work/files/a \$b 'c' d"
  [ "$(cat "$work/recorded")" = "$(printf '%s\n1\n%s' "$work/files" "$prefix$work/files/a \$b 'c' d")" ] ||
    fail "$wrapper gave: $(cat "$work/recorded")"
done

# The Nautilus extension, as Nautilus loads it: for one local folder both
# verbs in order (each with a packaged icon, each starting its wrapper on the
# folder), nothing for a file, two items, a remote folder, the background,
# nor while the user's own Nautilus scripts still offer the verbs.
/usr/bin/python3 - "$share" "$work/files/a \$b 'c' d" <<'PYTHON' || fail "the Nautilus extension"
import glob, importlib.util, os, sys
from gi.repository import Gio
share, folder = sys.argv[1], sys.argv[2]
spec = importlib.util.spec_from_file_location("velmora", share + "/nautilus-python/extensions/velmora.py")
extension = importlib.util.module_from_spec(spec)
spec.loader.exec_module(extension)
started = []
extension.subprocess.Popen = lambda command, **_: started.append(command)

class Item:
    def __init__(self, path, scheme="file", folder=True):
        self.path, self.scheme, self.folder = path, scheme, folder
    def get_uri_scheme(self): return self.scheme
    def is_directory(self): return self.folder
    def get_location(self): return Gio.File.new_for_path(self.path)

menu = extension.VelmoraMenu()
os.environ["LANGUAGE"] = "es"
items = menu.get_file_items([Item(folder)])
assert [item.props.label for item in items] == ["Encriptar (seguro)...", "Encriptar..."]
for item, verb in zip(items, ("encriptar-seguro", "encriptar")):
    assert glob.glob(f"{share}/icons/hicolor/48x48/*/{item.props.icon}.png"), item.props.icon
    item.activate()
    assert started.pop() == [f"/usr/lib/velmora/velmora-{verb}", folder]
for selection in ([Item(folder + "/x", folder=False)], [Item(folder), Item(folder)],
                  [Item(folder, scheme="sftp")]):
    assert menu.get_file_items(selection) == [], selection
assert menu.get_background_items(Item(folder)) == []
scripts = os.environ["XDG_DATA_HOME"] + "/nautilus/scripts"
os.makedirs(scripts)
open(scripts + "/Encriptar...", "w").close()
assert menu.get_file_items([Item(folder)]) == []
os.remove(scripts + "/Encriptar...")
PYTHON

echo "package checked: $(basename "$deb")"
