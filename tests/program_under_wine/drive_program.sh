# Sourced by the scripts that drive PARESKIT.EXE under wine with xdotool.
# Needs: program (the .exe), wine_command; optional: timeout_screenshot_dir.
# Every wait is bounded.

running_pid=
exit_code=

# start_program DIR: starts PARESKIT.EXE in DIR; sets running_pid.
start_program() {
  (cd "$1" && exec "$wine_command" "$program" >/dev/null 2>&1) &
  running_pid=$!
}

stop_running_program() {
  if [ -n "$running_pid" ] && kill -0 "$running_pid" 2>/dev/null; then
    kill "$running_pid" 2>/dev/null
    wait "$running_pid" 2>/dev/null
  fi
  running_pid=
}

# find_window NAME SECONDS: prints the id of the running program's visible
# window whose title is exactly NAME, waiting at most SECONDS; fails when none
# shows or the program ended first.
find_window() {
  local deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --all --onlyvisible --pid "$running_pid" --name "^$1\$" 2>/dev/null |
      head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    kill -0 "$running_pid" 2>/dev/null || return 1
    sleep 0.25
  done
  return 1
}

# wait_for_exit SECONDS: waits for the running program and sets exit_code;
# after SECONDS it is killed and exit_code is 124. Must not run in a subshell:
# only this shell can wait for its own child.
wait_for_exit() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$running_pid" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then
      if [ -n "${timeout_screenshot_dir:-}" ]; then
        import -window root "$timeout_screenshot_dir/timeout-$(date +%H%M%S).png" 2>/dev/null
      fi
      stop_running_program
      exit_code=124
      return
    fi
    sleep 0.25
  done
  wait "$running_pid"
  exit_code=$?
  running_pid=
}

# focus WINDOW: gives WINDOW the keyboard focus as a user does, with a click
# near its lower right corner (keys go to the active window), and waits until
# the display sends the keys to it; fails when it does not within 10 seconds.
focus() {
  local WIDTH HEIGHT deadline=$((SECONDS + 10))
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(WIDTH|HEIGHT)=')"
  xdotool windowfocus "$1" 2>/dev/null
  xdotool mousemove --window "$1" $((WIDTH - 12)) $((HEIGHT - 12)) click 1
  until [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
  done
}

# drag_window WINDOW X Y: moves WINDOW by its caption, as a user does, so that
# its top left corner lands at X,Y; waits until it is there, at most 10
# seconds, and fails when it does not get there.
drag_window() {
  local X Y deadline=$((SECONDS + 10))
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y)=')"
  xdotool mousemove $((X + 60)) $((Y + 8)) mousedown 1 mousemove_relative 10 10 \
    mousemove $(($2 + 60)) $(($3 + 8)) mouseup 1
  until [ "$X,$Y" = "$2,$3" ]; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.05
    eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y)=')"
  done
}

type_text() { xdotool type --delay 80 "$1"; }

# enter_program_name FORM NAME: types NAME into the form and confirms it with Ctrl+Enter.
enter_program_name() {
  focus "$1"
  type_text "$2"
  xdotool key ctrl+Return
}
