#!/usr/bin/env bash
# Builds the Debian package velmora_VERSION-1_ARCH.deb from a built tree.
# Usage: build-deb.sh BUILD_DIR OUT_DIR   (prints the package's path)
# The programs come from the build's own install rules (stripped); the
# system-wide desktop files, icons, manual pages and Debian files are added
# here; dependencies are computed with dpkg-shlibdeps.
set -euo pipefail
umask 022
build=$(realpath "$1")
mkdir -p "$2"
out=$(realpath "$2")
here=$(dirname "$(realpath "$0")")

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")-1
arch=$(dpkg --print-architecture)
work="$out/velmora-package"
root="$work/root"
rm -rf "$work"
mkdir -p "$root"

DESTDIR="$root" cmake --install "$build" --prefix /usr --strip >/dev/null
lib="$root/usr/lib/velmora"
[ -x "$lib/velmora" ] || { echo "the build has no velmora program" >&2; exit 1; }
# The install rules strip the symbols; the compiler's notes go too.
strip --remove-section=.comment --remove-section=.note "$lib/velmora" "$lib/velmora-cli"
share="$root/usr/share"
install -m 755 "$here"/desktop/lib/* "$lib/"
# The desktop files, each where its file manager looks; Dolphin's service
# menu is kept executable like the per-user one.
(cd "$here/desktop/share" && find . -type f) | while read -r file; do
  install -D -m 644 "$here/desktop/share/$file" "$share/$file"
done
chmod 755 "$share/kio/servicemenus/velmora-encriptar.desktop"
# The windows' pictures the AppStream metadata names (by the site's address).
install -D -m 644 -t "$share/velmora/screenshots" "$here"/screenshots/*.png
python3 "$here/make_icons.py" "$share/icons/hicolor"
find "$share/icons" -type f -exec chmod 644 {} +
mkdir -p "$share/man/man1" "$share/doc/velmora"
for page in velmora.1 velmora-cli.1; do
  gzip -9nc "$here/man/$page" > "$share/man/man1/$page.gz"
done
install -m 644 "$here/debian/copyright" "$share/doc/velmora/copyright"
gzip -9nc "$here/debian/changelog" > "$share/doc/velmora/changelog.Debian.gz"
find "$share/man" "$share/doc" -type f -exec chmod 644 {} +

# dpkg-shlibdeps reads the package's name from a debian/control of its own.
mkdir -p "$work/shlibs/debian"
printf 'Source: velmora\n\nPackage: velmora\nArchitecture: any\n' > "$work/shlibs/debian/control"
shlibs=$(cd "$work/shlibs" &&
  dpkg-shlibdeps -O -e"$lib/velmora" -e"$lib/velmora-cli" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || { echo "dpkg-shlibdeps found no libraries" >&2; exit 1; }

# What the windows load at start besides the linked libraries: Qt's X11
# platform plugin and its GIF and ICO image readers, from whichever package
# ships them here (Qt's own packages may only recommend it); those the
# libraries already bring in are not named twice.
plugins=$(for plugin in platforms/libqxcb.so imageformats/libqgif.so imageformats/libqico.so; do
  dpkg -S "*/qt6/plugins/$plugin" | cut -d: -f1
done | sort -u)
[ -n "$plugins" ] || { echo "Qt's plugins belong to no package" >&2; exit 1; }
for package in $plugins; do
  [[ ", $shlibs" == *", $package "* || ", $shlibs," == *", $package,"* ]] || shlibs+=", $package"
done

mkdir -p "$root/DEBIAN"
size=$(du -sk --apparent-size --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" \
    -e "s/@SHLIBS@/$shlibs/" "$here/debian/control.in" \
    > "$root/DEBIAN/control"
install -m 755 "$here/debian/postrm" "$root/DEBIAN/postrm"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) > "$root/DEBIAN/md5sums"
chmod 644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

deb="$out/velmora_${version}_${arch}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
