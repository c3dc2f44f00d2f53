#!/usr/bin/env bash
# Windows 7 to 8.1 refuse to start a program that imports a function they lack: the programs
# look the DPI functions of Windows 10 up at run time instead. Fails when a program's import table
# names one of them. Arguments: objdump, then the programs.
set -euo pipefail
objdump=$1
shift
status=0
for program; do
  imports=$("$objdump" -p "$program")
  if ! grep -q 'DLL Name: USER32.dll' <<<"$imports"; then
    echo "$program: no import table read" && status=1
  fi
  if names=$(grep -Ew \
    'GetDpiForSystem|GetDpiForWindow|AdjustWindowRectExForDpi|SystemParametersInfoForDpi' \
    <<<"$imports"); then
    echo "$program imports what Windows 7 lacks:" && echo "$names" && status=1
  fi
done
exit $status
