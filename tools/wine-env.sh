# Sourced by the scripts that run the Win32 program: a quiet wine with an
# initialised prefix and a running wine server, and a virtual X display when
# none is set. What is started here is ended by end_wine_env, which the EXIT
# trap set here calls (a script that sets its own EXIT trap calls it there).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# end_wine_env: ends the wine server and the display started here, if any.
end_wine_env() {
  if [ -n "${PK_WINESERVER_STARTED:-}" ]; then wineserver -k 2>/dev/null || true; fi
  if [ -n "${PK_XVFB_PID:-}" ]; then kill "$PK_XVFB_PID" 2>/dev/null || true; fi
}
trap end_wine_env EXIT

if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  PK_XVFB_PID=$!
  export DISPLAY=":$n"
  # No window manager runs on it; the scripts started from here inherit this.
  export PK_BARE_DISPLAY=1
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

# The first start of wine creates the prefix, whose set-up goes on in
# programs of its own after wineboot returns: done once, up front, and waited
# for until the last of them has ended (bounded).
if [ ! -f "${WINEPREFIX:-$HOME/.wine}/system.reg" ]; then
  timeout 180 wineboot -i >/dev/null 2>&1 || true
  timeout 120 wineserver -w || true
fi
# One wine server, kept until the end, and its service programs, started
# here with no one's output attached: started by a later program, they would
# hold that program's output open, and whoever reads it (a test run) would
# wait for them to end.
mkdir -p "${WINEPREFIX:-$HOME/.wine}"
if wineserver -p >/dev/null 2>&1; then PK_WINESERVER_STARTED=1; fi
timeout 180 wineboot >/dev/null 2>&1 || true

# Without a window manager wine frames, places and activates its windows
# itself; else it would wait two seconds for a manager at every window shown.
if [ -n "${PK_BARE_DISPLAY:-}" ] && ! grep -qs '^"Managed"="N"' "${WINEPREFIX:-$HOME/.wine}/user.reg"; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi
