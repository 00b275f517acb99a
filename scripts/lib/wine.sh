# The Wine environment of the builds and tests (sourced after common.sh):
# one Xvfb display with a 24-bit screen and one Wine prefix per build folder,
# of the build's architecture, with a persistent wineserver, a pinned locale
# and time zone, and no debug output or crash dialogs. Both stay up until
# brim_wine_stop.
#
# Every Wine call goes through brim_wine (programs and the builtin tools
# wineboot, reg and winepath) or brim_wineserver: Debian's wrappers pick the
# 32-bit loader whenever it is installed, even where the kernel cannot run it.
brim_select_arch || return 1
BRIM_WINE_STATE="$BRIM_BUILD/wine"
export WINEPREFIX="${BRIM_WINEPREFIX:-$BRIM_WINE_STATE/prefix}"
case $BRIM_ARCH in
  i686) export WINEARCH=win32 WINESERVER=/usr/lib/wine/wineserver32 ;;
  *) export WINEARCH=win64 WINESERVER=/usr/lib/wine/wineserver64 ;;
esac
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver64
export WINELOADER; WINELOADER=$(brim_wine_loader "$BRIM_ARCH")
export WINEDEBUG=-all
# No downloads of the .NET or HTML engines, and no menu entries on the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8 LANG=C.UTF-8 TZ=UTC

brim_wine() { "$WINELOADER" "$@"; }
brim_wineserver() { "$WINESERVER" "$@"; }

brim_display_alive() {
  [ -f "$BRIM_WINE_STATE/xvfb.pid" ] && [ -f "$BRIM_WINE_STATE/display" ] &&
    kill -0 "$(cat "$BRIM_WINE_STATE/xvfb.pid")" 2>/dev/null
}

brim_start_display() {
  mkdir -p "$BRIM_WINE_STATE"
  if ! brim_display_alive; then
    rm -f "$BRIM_WINE_STATE/display"
    # -displayfd picks a free display number and writes it once the server is ready.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac \
      3>"$BRIM_WINE_STATE/display" </dev/null >"$BRIM_WINE_STATE/xvfb.log" 2>&1 &
    echo $! >"$BRIM_WINE_STATE/xvfb.pid"
    local i
    for i in $(seq 1 200); do
      [ -s "$BRIM_WINE_STATE/display" ] && break
      kill -0 "$(cat "$BRIM_WINE_STATE/xvfb.pid")" 2>/dev/null || { cat "$BRIM_WINE_STATE/xvfb.log" >&2; return 1; }
      sleep 0.05
    done
    [ -s "$BRIM_WINE_STATE/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  fi
  export DISPLAY=":$(head -n 1 "$BRIM_WINE_STATE/display")"
}

# The symbol font of the caption buttons that Wine draws itself (minimise, maximise, close in the
# tutorial and the help viewer): without it in the prefix's font folder their glyphs show as
# "0 1 r". Wine ships it in its data folder but does not put it into a new prefix.
brim_prefix_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" source
  [ -f "$fonts/marlett.ttf" ] && return 0
  for source in /usr/share/wine/fonts /usr/lib/wine/fonts /usr/lib/x86_64-linux-gnu/wine/fonts; do
    [ -f "$source/marlett.ttf" ] || continue
    mkdir -p "$fonts" && cp "$source/marlett.ttf" "$fonts/"
    return
  done
  echo "warning: Wine's marlett.ttf not found; caption buttons of Wine-drawn windows show letters" >&2
}

brim_init_prefix() {
  if [ -f "$WINEPREFIX/.brim-ready" ]; then
    brim_prefix_fonts
    return 0
  fi
  rm -rf "$WINEPREFIX"
  brim_wine wineboot.exe -i >"$BRIM_WINE_STATE/wineboot.log" 2>&1 || { tail -20 "$BRIM_WINE_STATE/wineboot.log" >&2; return 1; }
  # A crashing test reports on stdout and ends; no debugger dialog waits for a click.
  brim_wine reg.exe add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  brim_wine reg.exe add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
  brim_wine reg.exe add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d 'false' /f >/dev/null 2>&1
  # Unmanaged, undecorated windows: with no window manager on the test display,
  # hiding a managed window waits seconds for a state change that never comes.
  brim_wine reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  brim_wine reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  brim_prefix_fonts
  touch "$WINEPREFIX/.brim-ready"
}

# Display, prefix and persistent wineserver, made once and shared by every caller.
brim_wine_up() {
  mkdir -p "$BRIM_WINE_STATE"
  exec 9>"$BRIM_WINE_STATE/lock"
  flock 9
  # wineserver -p answers non-zero when a server already runs; that one persists too.
  brim_start_display && brim_init_prefix && { brim_wineserver -p </dev/null >/dev/null 2>&1 || true; }
  local status=$?
  flock -u 9
  exec 9>&-
  return $status
}

brim_wine_stop() {
  brim_wineserver -k >/dev/null 2>&1 || true
  if [ -f "$BRIM_WINE_STATE/xvfb.pid" ]; then
    kill "$(cat "$BRIM_WINE_STATE/xvfb.pid")" 2>/dev/null || true
    rm -f "$BRIM_WINE_STATE/xvfb.pid" "$BRIM_WINE_STATE/display"
  fi
}

# Converts a Unix path to the Windows path Wine shows the programs.
brim_winpath() { brim_wine winepath.exe -w "$1" 2>/dev/null; }
