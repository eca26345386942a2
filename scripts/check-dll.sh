#!/usr/bin/env bash
# Checks that the product is a 32-bit Windows DLL whose only export is `main` and whose
# imports are all Windows system libraries, so it loads on a machine without a toolchain.
set -euo pipefail
dll=${1:?usage: check-dll.sh path/to/brevatone.dll}
dump=$(i686-w64-mingw32-objdump -p "$dll")

grep -q "file format pei-i386" <<<"$dump" || { echo "check-dll: $dll is not a PE32 i386 image" >&2; exit 1; }

exports=$(awk '/\[Ordinal\/Name Pointer\] Table/{flag=1; next} flag && /^[ \t]*\[/{print $NF; next} flag{flag=0}' <<<"$dump")
if [ "$exports" != "main" ]; then
  echo "check-dll: exports are '$exports', expected only 'main'" >&2
  exit 1
fi

allowed='^(KERNEL32|USER32|GDI32|COMDLG32|OLE32|OLEAUT32|SHELL32|ADVAPI32|msvcrt|WS2_32)\.dll$'
imports=$(grep "DLL Name:" <<<"$dump" | awk '{print $3}')
for name in $imports; do
  if ! grep -qiE "$allowed" <<<"$name"; then
    echo "check-dll: $dll imports $name, which is not a Windows system library" >&2
    exit 1
  fi
done
echo "check-dll: $dll is PE32 i386, exports main only, imports $(echo $imports | tr '\n' ' ')"
