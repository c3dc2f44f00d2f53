#!/usr/bin/env bash
# Windows 7 to 8.1 refuse to start a program that imports a function they lack: the programs
# look the DPI functions of Windows 10 up at run time instead. Fails when a program's import table
# cannot be read or names one of them. Arguments: objdump, then the programs.
set -euo pipefail
objdump=$1
shift
for program; do
  imports=$("$objdump" -p "$program")
  grep -qi 'DLL Name: user32.dll' <<<"$imports" || { echo "$program: no import table read" && exit 1; }
  ! grep -Ew 'GetDpiForSystem|GetDpiForWindow|AdjustWindowRectExForDpi|SystemParametersInfoForDpi' \
    <<<"$imports" || { echo "$program imports what Windows 7 lacks" && exit 1; }
done
