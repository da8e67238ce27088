# Wine harness shared by the run command and the end-to-end tests.
# Usage: source tools/wine/env.sh BUILD_DIR
# Gives this build its own Wine prefix and HOME under BUILD_DIR/wine, keeps
# Wine from installing extras or writing launchers into the host's menus,
# and starts Xvfb when there is no display. Functions:
#   wine_prepare        create the prefix once (about 10 s the first time)
#   wine_run EXE ARGS   run a Windows program in the prefix, wait, return its exit code
#   wine_stop           end every process of the prefix
#   wine_c_drive        print the host folder that is drive C: of the prefix
#   wine_desktop_dir    print the host folder behind the Windows desktop (after wine_prepare)
_kanvel_build_dir=$(cd "${1:?build folder}" && pwd)
export KANVEL_WINE_ROOT="$_kanvel_build_dir/wine"
export WINEPREFIX="$KANVEL_WINE_ROOT/prefix"
export HOME="$KANVEL_WINE_ROOT/home"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export LC_ALL=C.UTF-8
mkdir -p "$HOME"

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x800x24 -noreset -nolisten tcp >/dev/null 2>&1 &
      export KANVEL_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      break
    fi
  done
fi

wine_prepare() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

wine_run() {
  wine "$@"
}

wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}

wine_c_drive() {
  printf '%s\n' "$WINEPREFIX/drive_c"
}

wine_desktop_dir() {
  # The prefix's Desktop folder is a link into HOME: follow it.
  local user
  user=$(ls "$WINEPREFIX/drive_c/users" | grep -v -x Public | head -n 1)
  readlink -f "$WINEPREFIX/drive_c/users/$user/Desktop"
}

kanvel_xvfb_stop() {
  if [ -n "${KANVEL_XVFB_PID:-}" ]; then kill "$KANVEL_XVFB_PID" 2>/dev/null || true; fi
}
