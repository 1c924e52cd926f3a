# Sourced by the Wine tests: the five registry entries and the second folder
# verb read back with `wine reg query`, for a program installed in the
# Windows folder $1.
# Needs fail() from the test that sources it.

# A value of a key (the default one without a name), without its name and
# type; nothing when the key or the value is missing.
reg_value() {  # key[, name]
  wine reg query "$1" ${2:+/v} ${2:-/ve} 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *${2:-(Default)} *REG_[A-Z_]* *//p"
}

check_entry() {
  local actual
  actual="$(reg_value "HKCU\\Software\\Classes\\$1")"
  [ "$actual" = "$2" ] || fail "$1 holds [$actual], expected [$2]"
}

check_registered_entries() {
  local program=$1
  check_entry 'Velmor.velmora' 'Carpeta de Archivos Encriptada por Velmora'
  check_entry '.zol' 'Velmor.velmora'
  check_entry 'Velmor.velmora\shell\open\command' "\"$program\\velmora.exe\" %1/C"
  check_entry 'Velmor.velmora\DefaultIcon' "$program\\secreto.ico"
  check_entry 'Directory\shell\Encriptar...\command' "\"$program\\velmora.exe\" %1"
  check_entry 'Directory\shell\Encriptar (seguro)...\command' "\"$program\\velmora.exe\" /S %1"
}
