# Set-up shared by tools/test.sh and tools/demo.sh: packages, the Japanese locale, Wine and an
# X display. Sourced, not run.

ZOL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ZOL_PACKAGES=(cmake ninja-build g++ googletest g++-mingw-w64-x86-64 wine wine64 xvfb xauth
  xdotool locales fonts-noto-cjk fonts-ipafont-gothic fonts-wine imagemagick nsis clang
  libclang-rt-14-dev)

# Installs the Debian packages that are missing, when run as root.
zol_install_packages() {
  local missing=() package
  for package in "${ZOL_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages (run as root to install them): ${missing[*]}" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Wine takes its ANSI code page (932) and its Japanese file names from a generated ja_JP.UTF-8.
zol_japanese_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    if [ "$(id -u)" -eq 0 ]; then
      sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
      grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
      locale-gen >/dev/null
    else
      mkdir -p "$ZOL_ROOT/build/locale"
      localedef -i ja_JP -f UTF-8 "$ZOL_ROOT/build/locale/ja_JP.UTF-8"
      export LOCPATH="$ZOL_ROOT/build/locale"
    fi
  fi
  export LC_ALL=ja_JP.UTF-8
}

# The build's own Wine prefix, quiet, with no Mono or Gecko prompt.
zol_wine_environment() {
  export WINEPREFIX="$1/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  ZOL_WINE=$(command -v /usr/lib/wine/wine64 || command -v wine64 || command -v wine)
  ZOL_WINESERVER=$(command -v /usr/lib/wine/wineserver || command -v wineserver)
  export ZOL_WINE ZOL_WINESERVER
}

# The Wine session of zol_under_wine: a persistent wineserver and a booted prefix, whose
# background services would otherwise keep the output of the command open; the prefix set up as
# Japanese Windows shows it (ＭＳ Ｐゴシック is IPAPGothic, its metric twin, and the title bar's
# buttons come from Wine's Marlett, which Wine does not find where Debian puts it); and one desktop
# for the whole session. Wine starts its desktop process from the first program that shows a
# window, and that process keeps the program's output open for seconds after the program ends;
# started here with its output detached, it serves every program of the session.
zol_wine_session() {
  trap '"$ZOL_WINESERVER" -k; exit 130' INT TERM
  "$ZOL_WINESERVER" -p
  "$ZOL_WINE" wineboot -i >/dev/null 2>&1 </dev/null
  cp -u /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  reg() { "$ZOL_WINE" reg add "$@" /f >/dev/null 2>&1 </dev/null; }
  reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$ZOL_MANAGED"
  reg 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d ""
  reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "${ZOL_DPI:-96}"
  local face
  for face in "ＭＳ Ｐゴシック" "MS PGothic"; do
    reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" \
      /d IPAPGothic
  done
  # Started through start.exe, which returns once the desktop process is Wine's: a desktop started
  # in the background could still be starting when the server is stopped, and start another one.
  "$ZOL_WINE" start /b explorer.exe /desktop >/dev/null 2>&1 </dev/null
  local r=0
  "$@" || r=$?
  "$ZOL_WINESERVER" -k
  "$ZOL_WINESERVER" -w
  return $r
}

# Runs a command in a Wine session (above), on a virtual X display when there is no display. On
# the virtual display, which has no window manager, Wine's windows are unmanaged: otherwise Wine
# waits two seconds for a window manager whenever a shown window is destroyed. Shortcuts that an
# installation makes get no menu entries on the host. ZOL_DPI sets the DPI (96 unless given).
zol_under_wine() {
  local session=(bash -c 'source "$0" && zol_wine_session "$@"' "${BASH_SOURCE[0]}" "$@")
  if [ -n "${DISPLAY:-}" ]; then
    ZOL_MANAGED=Y "${session[@]}"
  else
    ZOL_MANAGED=N xvfb-run -a -s '-screen 0 1280x1024x24' "${session[@]}"
  fi
}
