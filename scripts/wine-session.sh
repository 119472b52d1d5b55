# Sourced by the control's test and demo commands: a Wine session for one cross build. Starts an
# Xvfb display, creates the build's own 64-bit prefix on first use (with a virtual desktop, so
# window destruction does not wait for a window manager), keeps one wineserver running for the
# session, and stops all of it when the calling script exits.
# Usage: source scripts/wine-session.sh; wine_session_start BUILD_DIR

wine_session_dir=$(dirname "$(realpath "${BASH_SOURCE[0]}")")

wine_session_start() {
  local build=$1
  export WINEPREFIX=$build/wineprefix
  export WINEDEBUG=-all
  # No runtime installers during prefix creation, and no debugger that waits on a crashed program.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # A 64-bit prefix runs both bitnesses; the 64-bit loader creates it even where 32-bit programs
  # cannot run.
  wine_session_wine64=$("$wine_session_dir/wine-loader.sh" 64)
  wine_session_server=/usr/lib/wine/wineserver64

  wine_session_display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_session_display_file" >/dev/null 2>&1 &
  wine_session_xvfb=$!
  trap wine_session_stop EXIT
  local _
  for _ in $(seq 100); do
    [[ -s $wine_session_display_file ]] && break
    sleep 0.1
  done
  [[ -s $wine_session_display_file ]] || { echo "wine-session: Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(head -n1 "$wine_session_display_file")

  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "wine-session: creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    "$wine_session_wine64" wineboot -i >/dev/null 2>&1
    "$wine_session_wine64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
    "$wine_session_wine64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null
    "$wine_session_server" -w
  fi
  "$wine_session_server" -p
  # Start the long-lived helper processes (services, the desktop) now, detached from the pipes of
  # later commands; otherwise they inherit them and a reader (CTest) waits for them to close.
  "$wine_session_wine64" wineboot </dev/null >/dev/null 2>&1 || true
  "$wine_session_wine64" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_session_stop() {
  "$wine_session_server" -k >/dev/null 2>&1 || true
  kill "$wine_session_xvfb" 2>/dev/null || true
  wait "$wine_session_xvfb" 2>/dev/null || true
  rm -f "$wine_session_display_file"
}
