#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# the machine does not have yet. Safe to run again: with nothing missing it
# does nothing (and needs no network).
set -euo pipefail

packages=(
  build-essential   # the C++ compiler and make
  cmake             # the build
  ninja-build       # the generator the presets use
  pkg-config
  libsodium-dev     # the sealed containers' cryptography (Argon2id, XChaCha20-Poly1305)
  libisal-dev       # ISA-L: the sealed containers' Reed-Solomon parity
  libutf8proc-dev   # utf8proc: passwords normalised to Unicode NFC
  googletest        # GoogleTest sources
  libgtest-dev      # GoogleTest, the test framework
  libgmock-dev
  shared-mime-info  # update-mime-database: the ".zol" file type for desktops
  desktop-file-utils  # update-desktop-database; desktop-file-validate in tests
  xdg-utils         # xdg-mime, used by the desktop tests
  libglib2.0-bin    # gio, used by the desktop tests to launch our entry
  qt6-base-dev      # Qt 6 Widgets (the windows), D-Bus (notifications) and QTest
  libgl-dev         # needed by Qt 6's CMake files
  fonts-comic-neue  # stands in for Comic Sans MS
  fonts-liberation2 # stands in for MS Sans Serif and Times New Roman
  fonts-dejavu-core # the fallback sans
  xvfb              # a real X server for the end-to-end test
  openbox           # a window manager in it: frames, the close box, focus
  x11-utils         # xprop, xwininfo: the frames and titles it shows
  xdotool           # types and presses keys in it
  imagemagick       # `import`: screenshots of the windows
  dbus-daemon       # a session bus of the end-to-end test's own
  python3-dbus      # its stand-in desktop notification service
  python3-gi        #   (and the GLib main loop it runs on)
  at-spi2-core      # the accessibility bus: the windows as screen readers read them
  python3-pyatspi   # reads that bus in the end-to-end test (tests/atspi_tree.py)
  clang-14          # builds the fuzz targets
  libclang-rt-14-dev  # libFuzzer and the sanitizers' runtime for clang
  python3           # draws the icons of the Debian package
  python3-nacl      # reads the golden sealed container apart from our code
  lintian           # checks the Debian package in the tests
  appstream         # appstreamcli validates the package's AppStream metadata
  python3-nautilus  # the package test loads its Nautilus extension (no session needed)
  g++-mingw-w64-x86-64-posix  # the Windows cross compiler
  binutils-mingw-w64-x86-64   # windres
  wine              # runs the Windows tests
  wine64
  autoconf          # build libsodium for the Windows build from Debian's
  automake          #   source package (scripts/build-sodium-mingw.sh)
  libtool
  yasm              # assembles ISA-L for the Windows build (scripts/build-erasure-unicode-mingw.sh)
  nsis              # the Windows installer
  zip               # the Windows distribution folder as a zip
  ntfs-3g           # the file systems users mount, for tests/file_systems.sh:
  exfat-fuse        #   NTFS, exFAT and FAT through FUSE,
  exfatprogs
  fusefat
  dosfstools
  btrfs-progs       #   btrfs and xfs through the kernel
  xfsprogs
)

if [ "${1:-}" = "--bench" ]; then
  # What `make bench` adds: Google Benchmark, and the peers it is measured
  # against, timed by hyperfine.
  packages=(libbenchmark-dev hyperfine p7zip-full zip unzip time python3 coreutils findutils age)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

# The Windows build compiles libsodium from Debian's source package, which
# apt finds only through a deb-src entry for the archive the machine uses.
need_sources=false
if [ "${1:-}" != "--bench" ] &&
  ! apt-cache showsrc libsodium 2> /dev/null | grep '^Package: libsodium$' > /dev/null; then
  need_sources=true
fi

if [ ${#missing[@]} -eq 0 ] && ! $need_sources; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
if $need_sources; then
  echo "Adding deb-src entries for this machine's Debian archive"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -e 's/^Types: deb$/Types: deb-src/' -e '/^#/d' /etc/apt/sources.list.d/debian.sources |
      $sudo tee /etc/apt/sources.list.d/velmora-deb-src.sources > /dev/null
  else
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list |
      $sudo tee /etc/apt/sources.list.d/velmora-deb-src.list > /dev/null
  fi
fi
$sudo apt-get update
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
