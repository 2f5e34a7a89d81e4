#!/usr/bin/env bash
# Checks a built vistrel.exe: GUI subsystem, only Windows' own DLLs imported
# (everything else linked statically), the icon and the manifest embedded
# (common controls 6, DPI aware per monitor), the 32-bit one large-address-aware.
set -euo pipefail
status=0
for exe in "$@"; do
  [ -f "$exe" ] || { echo "missing: $exe"; status=1; continue; }
  dump=$(objdump -p "$exe")
  dlls=$(echo "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  allowed='^(kernel32|user32|gdi32|shell32|comdlg32|comctl32|ole32|oleaut32|advapi32|msvcrt|shlwapi)\.dll$'
  extra=$(echo "$dlls" | grep -Ev "$allowed" || true)
  if [ -n "$extra" ]; then echo "$exe imports non-system DLLs: $extra"; status=1; fi
  # Texts reach Windows in UTF-16: no ANSI twin of a call is imported, but the
  # few the C and C++ runtimes make themselves, with no text of the program's
  # (the 32-bit runtime looks for its exception-frame DLL by LoadLibraryA).
  runtime='^(CreateEventA|CreateSemaphoreA|FormatMessageA|GetModuleHandleA|GetStartupInfoA|LoadLibraryA|OutputDebugStringA)$'
  ansi=$(echo "$dump" | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ {print $3}' |
         grep -E '[a-z0-9]A$' | grep -Ev "$runtime" || true)
  if [ -n "$ansi" ]; then echo "$exe imports ANSI calls: $(echo $ansi)"; status=1; fi
  if ! grep -Eq 'Subsystem\s+0*2\s' <<<"$dump"; then echo "$exe is not a GUI program"; status=1; fi
  text=$(strings "$exe")
  if ! grep -q 'Microsoft.Windows.Common-Controls' <<<"$text"; then echo "$exe has no common-controls manifest"; status=1; fi
  if ! grep -q '>true</dpiAware>' <<<"$text"; then echo "$exe does not declare DPI awareness"; status=1; fi
  if ! grep -q '>PerMonitorV2</dpiAwareness>' <<<"$text"; then
    echo "$exe does not declare per-monitor DPI awareness"; status=1
  fi
  # The 32-bit program may address 4 GB on a 64-bit system (large captures).
  if grep -q 'file format pei-i386' <<<"$(objdump -f "$exe")" &&
     ! grep -q 'large address aware' <<<"$dump"; then
    echo "$exe is not large-address-aware"; status=1
  fi
  size=$(stat -c %s "$exe")
  echo "$exe: $(echo $dlls | tr '\n' ' ') ($size bytes)"
done
exit $status
