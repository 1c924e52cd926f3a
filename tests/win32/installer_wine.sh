#!/usr/bin/env bash
# Installs velmora-2.0-setup.exe silently under Wine in a prefix of its own,
# checks the installed files and the registry entries (the five entries and
# the second folder verb, pointing at the installed velmora.exe), then uninstalls silently and checks that neither
# files nor entries are left.
#   installer_wine.sh SETUP.exe WORK_FOLDER
set -euo pipefail
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND (status $?)"' ERR

setup=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The default value of a key, or nothing when the key is missing.
. "$(dirname "$0")/registered_entries.sh"

wine wineboot -i >/dev/null 2>&1
wineserver -w
install_dir='C:\users\'"$(whoami)"'\AppData\Local\Programs\Velmora'
unix_dir="$(winepath -u "$install_dir" 2>/dev/null)"

wine "$setup" /S
wineserver -w

for file in velmora.exe velmora-cli.exe secreto.ico velmora.hlp LEEME.txt LICENSE.txt Uninstall.exe; do
  [ -f "$unix_dir/$file" ] || fail "not installed: $file"
done

check_registered_entries "$install_dir"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
wine reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 ||
  fail "no entry in the list of installed programs"

wine "$unix_dir/Uninstall.exe" /S
wineserver -w

[ ! -e "$unix_dir" ] || fail "left after uninstalling: $(ls -A "$unix_dir" | tr '\n' ' ')"
for key in 'Velmor.velmora' '.zol' 'Directory\shell\Encriptar...' \
           'Directory\shell\Encriptar (seguro)...'; do
  if wine reg query "HKCU\\Software\\Classes\\$key" >/dev/null 2>&1; then
    fail "left after uninstalling: $key"
  fi
done
if wine reg query "$uninstall_key" >/dev/null 2>&1; then
  fail "left after uninstalling: the entry in the list of installed programs"
fi

wineserver -k 2>/dev/null || true
if [ "$failures" -ne 0 ]; then
  exit 1
fi
rm -rf "$work"
echo "installer: installed, registered, uninstalled cleanly"
