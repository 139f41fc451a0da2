# Sourced by the scripts that run the Win32 program: a quiet wine with an
# initialised prefix, and a virtual X display when none is set.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  PK_XVFB_PID=$!
  trap 'kill "$PK_XVFB_PID" 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi
# The first start of wine creates its prefix; do it once, bounded, up front.
timeout 180 wineboot -i >/dev/null 2>&1 || true
