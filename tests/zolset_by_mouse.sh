#!/usr/bin/env bash
# Runs zolset.exe as a program of its own in a scratch installation under Wine, picks a screen
# saver, applies it and ends the program with the mouse on the X display, as a user would, and
# checks system.ini and zol.ini afterwards. Arguments: zolset.exe, the Wine loader, the prefix.
set -euo pipefail
program=$1 wine=$2
export WINEPREFIX=$3 WINEDEBUG=-all
scratch=$(mktemp -d "$WINEPREFIX/drive_c/zol-mouse-XXXXXX")
# The apply also names the screen saver in the prefix's registry, as Windows of the NT family
# keeps it: the key goes back as it was afterwards.
desktop='HKCU\Control Panel\Desktop'
"$wine" reg export "$desktop" "$scratch/desktop.reg" /y >/dev/null 2>&1
restore() {
  "$wine" reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
  "$wine" reg import "$scratch/desktop.reg" >/dev/null 2>&1
  rm -rf "$scratch"
}
trap restore EXIT
folder="C:\\$(basename "$scratch")"
sjis() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/'; }

mkdir -p "$scratch/WINDOWS" "$scratch/SAVERS"
touch "$scratch/SAVERS/星空.scr" "$scratch/SAVERS/迷路.scr" "$scratch/SAVERS/readme.txt"
sjis >"$scratch/zol.ini" <<INI
System.iniのあるドライブ =C:
system.iniのあるディレクトリ=${folder#C:}\\WINDOWS\\
お気に入りのスクリーンセイバーのあるドライブ =C:
お気に入りのスクリーンセイバーのあるディレクトリ=${folder#C:}\\SAVERS\\
コントロールパネル=C:
コントロールパネル=\\windows\\system32\\
お気に入りのスクリーンセイバー名 =星空.scr
代替えのスクリーンセイバー名 =迷路.scr
1500
3000
INI
cp "$scratch/zol.ini" "$scratch/zol.ini.before"
printf '[boot]\r\nSCRNSAVE.EXE=C:\\OLD.SCR\r\n[display]\r\nDisplayFallback=0\r\n' \
  >"$scratch/WINDOWS/system.ini"

(cd "$scratch" && exec "$wine" "$program") &
pid=$!
window=$(timeout 30 xdotool search --sync --name '^ゾルヴァ\(ZOL3\.60\)$' | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
# The X window holds Wine's own frame around the client area of 403 x 398 pixels.
border=$(((WIDTH - 403) / 2))
click() {
  xdotool mousemove $((X + border + $1)) $((Y + HEIGHT - 398 - border + $2)) click 1
  sleep 0.5
}
click 60 64    # File1, its second file: 迷路.scr
click 80 280   # 変　更
click 328 328  # 終　了
timeout 20 tail --pid="$pid" -f /dev/null

expected=$(printf '[boot]\r\nSCRNSAVE.EXE=%s\\SAVERS\\迷路.scr\r\n[display]\r\nDisplayFallback=0\r\n' \
  "$folder" | iconv -f UTF-8 -t CP932 | od -c)
actual=$(od -c "$scratch/WINDOWS/system.ini")
failed=0
if [ "$expected" != "$actual" ]; then
  echo "system.ini is not as expected:"; iconv -f CP932 -t UTF-8 "$scratch/WINDOWS/system.ini"
  failed=1
fi
if ! cmp -s "$scratch/zol.ini" "$scratch/zol.ini.before"; then
  echo "zol.ini is not as expected:"; iconv -f CP932 -t UTF-8 "$scratch/zol.ini"
  failed=1
fi
[ $failed = 0 ] && echo "zolset applied the screen saver picked with the mouse"
exit $failed
