#!/usr/bin/env bash
# Checks that each given plug-in DLL is a Windows image a host can load on a machine without a
# toolchain: a PE32 (i386) DLL exporting only `main`, or a PE32+ (x86-64) DLL exporting `main`
# and `VSTPluginMain`, the name 64-bit hosts look for first; and that everything it imports is a
# Windows system library.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: check-dll.sh path/to/brevatone.dll..." >&2; exit 2; }

# This objdump reads both image formats.
objdump=x86_64-w64-mingw32-objdump
allowed='^(KERNEL32|USER32|GDI32|COMDLG32|OLE32|OLEAUT32|SHELL32|ADVAPI32|msvcrt|WS2_32)\.dll$'

for dll in "$@"; do
  dump=$("$objdump" -p "$dll")
  if grep -q "file format pei-i386" <<<"$dump"; then
    kind="PE32 i386"
    expected="main"
  elif grep -q "file format pei-x86-64" <<<"$dump"; then
    kind="PE32+ x86-64"
    expected="VSTPluginMain main"
  else
    echo "check-dll: $dll is neither a PE32 i386 nor a PE32+ x86-64 image" >&2
    exit 1
  fi

  exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{flag=1; next} flag && /^[ \t]*\[/{print $NF; next} flag{flag=0}' \
    <<<"$dump" | LC_ALL=C sort | xargs)
  if [ "$exports" != "$expected" ]; then
    echo "check-dll: $dll ($kind) exports '$exports', expected '$expected'" >&2
    exit 1
  fi

  imports=$(grep "DLL Name:" <<<"$dump" | awk '{print $3}')
  for name in $imports; do
    if ! grep -qiE "$allowed" <<<"$name"; then
      echo "check-dll: $dll imports $name, which is not a Windows system library" >&2
      exit 1
    fi
  done
  echo "check-dll: $dll is $kind, exports $expected, imports $(xargs <<<"$imports")"
done
