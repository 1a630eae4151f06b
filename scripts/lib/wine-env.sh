# The Wine environment of this project: a private prefix, code page 936, no
# proxy, no Mono or Gecko installer, a 1024x768 virtual desktop.
: "${WM_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/win}"
export WINEPREFIX="${WINEPREFIX:-$WM_BUILD/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=d}"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy no_proxy NO_PROXY all_proxy ALL_PROXY

# wm_start_display: use $DISPLAY when it answers, else start a private Xvfb.
wm_start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 91 120); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    WM_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$WM_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "no X display could be started" >&2
  return 1
}

wm_stop_display() {
  [ -n "${WM_XVFB_PID:-}" ] && kill "$WM_XVFB_PID" 2>/dev/null
  WM_XVFB_PID=
}

# wm_make_prefix [fresh]: creates the prefix once (or anew with "fresh") with
# the virtual desktop and a browser launcher that records instead of opening.
wm_make_prefix() {
  if [ "${1:-}" = fresh ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/.wm-ready" ]; then
    mkdir -p "$WINEPREFIX"
    timeout 180 wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
    # No browser of the machine is ever started: the shell's "open" for web
    # addresses runs a recorder that appends them to a file in the prefix.
    wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$WINEPREFIX/browser-recorder" /f >/dev/null 2>&1
    printf '#!/bin/sh\necho "$@" >> "%s/opened-addresses.txt"\n' "$WINEPREFIX" > "$WINEPREFIX/browser-recorder"
    chmod +x "$WINEPREFIX/browser-recorder"
    wineserver -w
    touch "$WINEPREFIX/.wm-ready"
  fi
}

# wm_start_server: one wineserver for a whole run. Wine's background
# processes (services, the desktop) start with the first program; start them
# here with no output attached, or CTest would wait on the pipe they inherit.
wm_start_server() {
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}
