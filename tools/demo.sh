#!/usr/bin/env bash
# Sets up what is missing, builds the programs and runs one of them on a demo installation in
# the build's own Wine prefix: zolset by default, zolswap when asked ("tools/demo.sh zolswap"),
# or "zolswap /tray", its icon in the notification area ("tools/demo.sh tray"), which runs until
# its menu's 終了 ends it. Each run starts with the registry's screen saver as the demo system.ini
# names it; afterwards it prints both, the registry value and the SCRNSAVE.EXE line of the demo
# system.ini. With no X display it runs on a virtual one, saves a screenshot of the window (of the
# icon with its menu open, for the tray) and closes the program.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZOL_ROOT"

if [ "${1:-}" = --inside ]; then
  inside=1
  shift
fi
program=${1:-zolset}
case "$program" in
  zolset) folder=configurator exe=zolset caption='ゾルヴァ(ZOL3.60)' ;;
  zolswap) folder=switcher exe=zolswap caption='ＺＯＬ３．６０' ;;
  tray) folder=switcher exe=zolswap caption='' ;;
  *) echo "usage: $0 [zolset|zolswap|tray]" >&2; exit 2 ;;
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

# With no notification area on the display, Wine shows the icons in a small window of its own,
# "Wine System Tray", the first icon at its client pixels 0-19. Unmanaged, that X window holds the
# frame too (a border of 3 pixels, the caption above): a real click 13 pixels in from its lower left
# corner hits the icon and opens the menu at the pointer. The screenshot keeps the icon and the
# menu, in few colours; a click on the menu's last item, 終了, then ends the icon. (Typed keys go to
# the window under the pointer of this display, which has no window manager, not to the menu.)
tray_screenshot() {
  "$ZOL_WINE" "$build/switcher/zolswap.exe" /tray 2>>"$build/demo/wine.log" &
  local pid=$! tray="" WIDTH=0 HEIGHT=0
  for _ in $(seq 100); do
    tray=$(xdotool search --name '^Wine System Tray$' 2>/dev/null | head -n 1) && [ -n "$tray" ] && break
    sleep 0.2
  done
  sleep 1
  if [ -n "$tray" ]; then
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    xdotool mousemove --window "$tray" 13 $((HEIGHT - 13)) click 1
    sleep 1
    import -window root -trim +repage -colors 64 -depth 8 "PNG8:$build/demo/zolswap-tray.png"
    echo "Screenshot: $build/demo/zolswap-tray.png"
    local menu
    menu=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
    if [ -n "$menu" ]; then
      eval "$(xdotool getwindowgeometry --shell "$menu")"
      xdotool mousemove --window "$menu" $((WIDTH / 2)) $((HEIGHT - 10)) click 1
    fi
  fi
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill "$pid" 2>/dev/null && echo "zolswap /tray did not end from its menu: killed" >&2
  wait "$pid" 2>/dev/null || true
}

run() {
  cd "$demo"
  reset_registry
  if [ "$program" = tray ] && [ -n "$screenshot" ]; then
    tray_screenshot
  elif [ "$program" = tray ]; then
    echo "zolswap /tray runs: its icon is in the notification area (or in Wine's own small window)."
    echo "A click on the icon opens its menu; 終了 ends it."
    "$ZOL_WINE" "$build/switcher/zolswap.exe" /tray 2>>"$build/demo/wine.log"
  elif [ -n "$screenshot" ]; then
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
cmake --build --preset windows --target "$exe" demo_saver
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
