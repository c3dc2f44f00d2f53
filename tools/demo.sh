#!/usr/bin/env bash
# Sets up what is missing, builds the programs and runs one of them on a demo installation in
# the build's own Wine prefix: zolset by default, zolswap when asked ("tools/demo.sh zolswap").
# Each run starts with the registry's screen saver as the demo system.ini names it; afterwards it
# prints both, the registry value and the SCRNSAVE.EXE line of the demo system.ini. With no X
# display it runs on a virtual one, saves a screenshot of the window and closes the program.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZOL_ROOT"

if [ "${1:-}" = --inside ]; then
  inside=1
  shift
fi
program=${1:-zolset}
case "$program" in
  zolset) folder=configurator caption='ゾルヴァ(ZOL3.60)' ;;
  zolswap) folder=switcher caption='ＺＯＬ３．６０' ;;
  *) echo "usage: $0 [zolset|zolswap]" >&2; exit 2 ;;
esac

# The registry values that Windows of the NT family reads, as the demo system.ini has them: each
# run starts from the same state, whatever an earlier run chose. (Wine takes the Japanese text of
# its command line from the UTF-8 locale.)
reset_registry() {
  local key='HKCU\Control Panel\Desktop' log="$build/demo/wine.log" entry
  entry=$(iconv -f CP932 -t UTF-8 "$demo/WINDOWS/system.ini" | tr -d '\r' |
    sed -n 's/^SCRNSAVE\.EXE=//p')
  "$ZOL_WINE" reg add "$key" /v SCRNSAVE.EXE /d "$entry" /f >/dev/null 2>>"$log" </dev/null
  "$ZOL_WINE" reg add "$key" /v ScreenSaveActive /d 1 /f >/dev/null 2>>"$log" </dev/null
}

run() {
  cd "$demo"
  reset_registry
  if [ -n "$screenshot" ]; then
    "$ZOL_WINE" "$build/$folder/$program.exe" 2>>"$build/demo/wine.log" &
    local pid=$! window=""
    for _ in $(seq 100); do
      window=$(xdotool search --name "^${caption//(/\\(}\$" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
      sleep 0.2
    done
    sleep 1
    import -window root -trim +repage "$build/demo/$program.png"
    echo "Screenshot: $build/demo/$program.png"
    [ -n "$window" ] && xdotool windowclose "$window" 2>/dev/null
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  else
    "$ZOL_WINE" "$build/$folder/$program.exe" 2>>"$build/demo/wine.log"
  fi
  echo "Now in the registry, which Windows of the NT family reads:"
  # reg writes code page 932.
  "$ZOL_WINE" reg query 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE 2>>"$build/demo/wine.log" |
    iconv -f CP932 -t UTF-8 | tr -d '\r' | grep SCRNSAVE ||
    echo "    SCRNSAVE.EXE is not set: no screen saver"
}
if [ -n "${inside:-}" ]; then
  run
  exit
fi

zol_install_packages
zol_japanese_locale
cmake --preset windows >/dev/null
cmake --build --preset windows --target "$program" demo_saver
build="$ZOL_ROOT/build/windows"
zol_wine_environment "$build"

# The demo installation: C:\zol-demo with zol.ini, a Windows 9x system.ini and screen savers.
demo="$WINEPREFIX/drive_c/zol-demo"
sjis() { iconv -f UTF-8 -t CP932 | sed 's/$/\r/'; }
rm -rf "$demo"
mkdir -p "$demo/WINDOWS" "$demo/SAVERS/古い物"
sjis >"$demo/zol.ini" <<'INI'
System.iniのあるドライブ =C:
system.iniのあるディレクトリ=\zol-demo\WINDOWS\
お気に入りのスクリーンセイバーのあるドライブ =C:
お気に入りのスクリーンセイバーのあるディレクトリ=\zol-demo\SAVERS\
コントロールパネルのあるドライブ=C:
コントロールパネルのあるディレクトリ=\windows\system32\
お気に入りのスクリーンセイバー名 =星空.scr
代替えのスクリーンセイバー名 =万華鏡.scr
1440
2160
INI
sjis >"$demo/WINDOWS/system.ini" <<'INI'
[boot]
oemfonts.fon=vgaoem.fon
shell=Explorer.exe
system.drv=system.drv
drivemap.dll=drivemap.dll
mouse.drv=mouse.drv
display.drv=pnpdrvr.drv
SCRNSAVE.EXE=C:\zol-demo\SAVERS\迷路.scr
fixedfon.fon=vgafix.fon
fonts.fon=vgasys.fon
keyboard.drv=keyboard.drv

[boot.description]
keyboard.typ=日本語 106 キーボード
mouse.drv=標準 PS/2 ポート マウス
system.drv=Advanced Power Management サポート

[386Enh]
ebios=*ebios
mouse=*vmouse, msmouse.vxd
woafont=app850.fon

[drivers]
wave=mmsystem.dll
timer=timer.drv

[display]
DisplayFallback=0
INI
for name in 星空 迷路 万華鏡 流れ星 3D迷路 古い物/旧い星空; do
  cp "$build/demo/demo_saver.exe" "$demo/SAVERS/$name.scr"
done
echo "説明書です。" | sjis >"$demo/SAVERS/readme.txt"
echo "[設定]" | sjis >"$demo/SAVERS/saver.ini"

screenshot=${DISPLAY:-virtual}
[ "$screenshot" = virtual ] || screenshot=""
export build demo screenshot
zol_under_wine bash "$ZOL_ROOT/tools/demo.sh" --inside "$program"
echo "Now in the demo system.ini:"
iconv -f CP932 -t UTF-8 "$demo/WINDOWS/system.ini" | grep -ai crnsav | tr -d '\r'
