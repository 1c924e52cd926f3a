#!/usr/bin/env bash
# Installs velmora-2.0-setup.exe silently under Wine in a prefix of its own,
# checks the installed files, the registry entries (the five entries and the
# second folder verb, pointing at the installed velmora.exe, and both verbs'
# icon), the Start-menu links, EstimatedSize, and the install folder added
# to the user's PATH; then uninstalls silently and checks that neither
# files, links nor entries are left and that PATH is back as it was.
#   installer_wine.sh SETUP.exe WORK_FOLDER
set -euo pipefail
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND (status $?)"' ERR

setup=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
# The Start-menu links stay in the prefix (no desktop entries for Linux).
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

. "$(dirname "$0")/registered_entries.sh"
# A program (the installer, the uninstaller) run silently, to its end.
silently() {
  wine "$1" /S
  wineserver -w
}

wine wineboot -i >/dev/null 2>&1
wineserver -w
user_dir='C:\users\'"$(whoami)"
install_dir="$user_dir"'\AppData\Local\Programs\Velmora'
unix_dir="$(winepath -u "$install_dir" 2>/dev/null)"
start_menu="$(winepath -u "$user_dir"'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Velmora' 2>/dev/null)"
# A user's PATH with an empty entry, a variable and a trailing ";", which
# the uninstaller must give back exactly.
user_path='C:\uno;;%USERPROFILE%\dos;'
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$user_path" /f >/dev/null 2>&1

silently "$setup"

for file in velmora.exe velmora-cli.exe secreto.ico velmora.hlp LEEME.txt LICENSE.txt Uninstall.exe; do
  [ -f "$unix_dir/$file" ] || fail "not installed: $file"
done

check_registered_entries "$install_dir"
for verb in 'Encriptar...' 'Encriptar (seguro)...'; do
  icon="$(reg_value "HKCU\\Software\\Classes\\Directory\\shell\\$verb" Icon)"
  [ "$icon" = "$install_dir\velmora.exe,0" ] || fail "$verb: icon [$icon]"
done
# Each link and the file it starts (its path in UTF-16: read without NULs).
for link in 'Velmora.lnk:velmora.exe' 'LEEME.lnk:LEEME.txt' 'Desinstalar Velmora.lnk:Uninstall.exe'; do
  file="$start_menu/${link%%:*}"
  [ -f "$file" ] && tr -d '\0' <"$file" | grep -caF "Velmora\\${link#*:}" >/dev/null ||
    fail "Start-menu link: $link"
done
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
wine reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 ||
  fail "no entry in the list of installed programs"
wine reg query "$uninstall_key" /v EstimatedSize 2>/dev/null | grep -q REG_DWORD ||
  fail "EstimatedSize is not a DWORD"
size_kb="$(reg_value "$uninstall_key" EstimatedSize)"
bytes="$(find "$unix_dir" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')"
[ "$((size_kb))" -eq "$((bytes / 1024))" ] ||
  fail "EstimatedSize $((size_kb)) KB for $bytes bytes"
path="$(reg_value 'HKCU\Environment' Path)"
[ "$path" = "$user_path;$install_dir" ] || fail "PATH after installing: [$path]"

silently "$unix_dir/Uninstall.exe"

[ ! -e "$unix_dir" ] || fail "left after uninstalling: $(ls -A "$unix_dir" | tr '\n' ' ')"
[ ! -e "$start_menu" ] || fail "left after uninstalling: $(ls -A "$start_menu" | tr '\n' ' ')"
path="$(reg_value 'HKCU\Environment' Path)"
[ "$path" = "$user_path" ] || fail "PATH after uninstalling: [$path]"
# A PATH the installer could not write back whole (1,000 characters, too
# long with the folder added; 1,100, too long to read) is left as it is.
for size in 1000 1100; do
  long_path="C:\\$(head -c "$((size - 3))" /dev/zero | tr '\0' x)"
  wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$long_path" /f >/dev/null 2>&1
  silently "$setup"
  [ "$(reg_value 'HKCU\Environment' Path)" = "$long_path" ] || fail "a $size-character PATH changed"
done
silently "$unix_dir/Uninstall.exe"
[ "$(reg_value 'HKCU\Environment' Path)" = "$long_path" ] || fail "uninstalling changed a long PATH"

for key in Velmor.velmora .zol 'Directory\shell\Encriptar...' 'Directory\shell\Encriptar (seguro)...'; do
  ! wine reg query "HKCU\\Software\\Classes\\$key" >/dev/null 2>&1 || fail "left after uninstalling: $key"
done
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "left after uninstalling: $uninstall_key"

wineserver -k 2>/dev/null || true
[ "$failures" -eq 0 ] || exit 1
rm -rf "$work"
echo "installer: installed, registered, uninstalled cleanly"
