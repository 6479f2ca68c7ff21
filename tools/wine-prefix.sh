# The Wine set-up the program runs in, one for `make run` and the tests alike. Sourced:
#   . tools/wine-prefix.sh        the environment: the prefix build/wineprefix (unless WINEPREFIX
#                                 names another), LANG=ja_JP.UTF-8 so that Wine's ANSI code page
#                                 is 932 (unless ZINNOW_LANG names another locale), quiet Wine
#   wine_prefix_ready DPI LOG     creates the prefix or brings it up to date, starts Wine's
#                                 services, and tells Windows programs the screen's density
# Nothing here maps fonts: the program finds a font of the window's metrics itself, as it must on
# a user's machine.
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$top/build/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win64
export LANG="${ZINNOW_LANG:-ja_JP.UTF-8}"
export LC_ALL="$LANG"
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINELOADER

wine_prefix_ready() {  # wine_prefix_ready DPI LOG
  local dpi="$1" log="$2"
  mkdir -p "$WINEPREFIX"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-prefix: creating the Wine prefix $WINEPREFIX"
  fi
  # Attached to files, not to the caller's pipes: Wine's services outlive this call.
  wine wineboot --init >"$log" 2>&1 </dev/null || { cat "$log" >&2; return 1; }
  # Prefixes made before the program chose its own font mapped the window's font by name.
  if [ -f "$WINEPREFIX/.zinnow-fonts" ]; then
    wine reg delete 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /f \
      >>"$log" 2>&1 </dev/null || true
    rm -f "$WINEPREFIX/.zinnow-fonts"
  fi
  # Wine's own fonts (the title bar's symbols, its system font), which this build of Wine looks
  # for only in the prefix's font folder.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
  for font in /usr/share/wine/fonts/*.ttf; do
    [ -e "$font" ] && [ ! -e "$fonts/$(basename "$font")" ] && cp "$font" "$fonts/"
  done
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >>"$log" 2>&1 </dev/null
}
