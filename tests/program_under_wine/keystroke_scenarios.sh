#!/usr/bin/env bash
# End-to-end runs of PARESKIT.EXE under wine on an X display, driven by real
# key strokes from xdotool. Every run happens in a scratch copy of the data.
#
# Usage: keystroke_scenarios.sh PARESKIT.exe pareskit-batch.exe EXAMPLES_DIR SCRATCH_DIR ARTIFACTS_DIR
#
# The data are the examples (the program DEMO, the library files, the master
# lists and crest.bmp). A display is started when DISPLAY is unset. Every wait is bounded; the last line counts the scenarios.
# PK_E2E_ONLY, a regular expression, runs only the scenarios it matches.
set -uo pipefail

if [ $# -ne 5 ]; then
  echo "usage: $0 PARESKIT.exe pareskit-batch.exe EXAMPLES_DIR SCRATCH_DIR ARTIFACTS_DIR" >&2
  exit 64
fi
program=$(realpath "$1")
batch=$(realpath "$2")
examples=$(realpath "$3")
scratch=$4
artifacts=$5
here=$(cd "$(dirname "$0")" && pwd)
wine_command=${PK_WINE:-wine}

# A quiet wine, an initialised prefix, and a virtual display when none is set.
source "$here/../../tools/wine-env.sh"

rm -rf "$scratch"
mkdir -p "$scratch" "$artifacts"
data=$scratch/data
cp -r "$examples" "$data"

timeout_screenshot_dir=$artifacts
source "$here/drive_program.sh"
source "$here/../../tools/scenarios.sh"
trap 'stop_running_program; end_wine_env' EXIT

# fresh_copy NAME: a new scratch copy of the data; prints its path.
fresh_copy() {
  rm -rf "${scratch:?}/$1"
  cp -r "$data" "$scratch/$1"
  echo "$scratch/$1"
}

# listing DIR: the names and sizes of the files in DIR.
listing() { (cd "$1" && ls -l --time-style=+ | awk 'NR > 1 { print $5, $NF }'); }

selected() { [ -z "${PK_E2E_ONLY:-}" ] || [[ $1 =~ $PK_E2E_ONLY ]]; }

# The reference: the batch driver's files for DEMO on the same data.
reference=$(fresh_copy reference)
(cd "$reference" && "$wine_command" "$batch" DEMO >/dev/null 2>&1)
reference_code=$?
if [ "$reference_code" -ne 0 ] || [ ! -f "$reference/DEMO.PRE" ]; then
  check "the batch driver's reference run" "exit code $reference_code and no report"
  finish
  exit
fi

# same_outputs_as_reference DIR: every file of the reference, byte for byte,
# and no other file (the logo aside, which some scenarios change).
same_outputs_as_reference() {
  local dir=$1 name
  if ! diff <(listing "$reference" | grep -v ' crest.bmp$') <(listing "$dir" | grep -v ' crest.bmp$') >/dev/null; then
    echo "the files differ from the batch driver's: $(ls "$dir" | tr '\n' ' ')"
    return
  fi
  for name in $(cd "$reference" && ls); do
    # The example project folder is data the job never touches.
    [ "$name" = crest.bmp ] || [ -d "$reference/$name" ] && continue
    if ! cmp -s "$reference/$name" "$dir/$name"; then
      echo "$name differs from the batch driver's"
      return
    fi
  done
  echo ok
}

# Pixels of the logo's gold lettering (colour 32 of crest.bmp's table) in a screenshot.
gold_pixels() {
  convert "$1" -fill black +opaque "rgb(243,203,82)" -fill white -opaque "rgb(243,203,82)" \
    -format "%[fx:round(mean*w*h)]" info: 2>/dev/null || echo 0
}

# Pixels of the main window's dark blue background in the part GEOMETRY
# (WIDTHxHEIGHT+X+Y) of a screenshot.
background_pixels() {
  convert "$1" -crop "$2" -fill black +opaque "rgb(0,0,127)" -fill white -opaque "rgb(0,0,127)" \
    -format "%[fx:round(mean*w*h)]" info: 2>/dev/null || echo 0
}

# look_at_windows FORM SCREENSHOT LOGO: moves the form off the logo, which
# repaints the main window, and checks that no second form opened, that the
# title is PARESKIT, and whether the logo's lettering shows (LOGO yes, no or
# any). The repaint is seen in the screenshot: the main window's background
# where the form was and, with a logo, its lettering (waited for 10 seconds
# at most). Prints ok or what is wrong; keeps the screenshot.
look_at_windows() {
  local form=$1 screenshot=$2 logo=$3 main title forms gold X Y WIDTH HEIGHT deadline
  eval "$(xdotool getwindowgeometry --shell "$form" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  if ! drag_window "$form" 300 300; then
    echo "the form could not be moved off the logo"
    return
  fi
  deadline=$((SECONDS + 10))
  while :; do
    import -window root "$screenshot" 2>/dev/null
    gold=$(gold_pixels "$screenshot")
    if [ "$(background_pixels "$screenshot" "${WIDTH}x$HEIGHT+$X+$Y")" -ge $((WIDTH * HEIGHT / 4)) ] &&
      { [ "$logo" != yes ] || [ "$gold" -ge 300 ]; }; then
      break
    fi
    [ $SECONDS -lt $deadline ] || break
    sleep 0.1
  done
  forms=$(xdotool search --all --onlyvisible --pid "$running_pid" --name '^FORM$' 2>/dev/null |
    wc -l)
  main=$(find_window PARESKIT 5) || main=
  title=
  [ -n "$main" ] && title=$(xdotool getwindowname "$main" 2>/dev/null)
  if [ "$forms" != 1 ]; then
    echo "$forms forms are shown after a repaint of the main window"
  elif [ "$title" != PARESKIT ]; then
    echo "the main window's title is '$title', not PARESKIT"
  elif [ "$logo" = yes ] && [ "$gold" -lt 300 ]; then
    echo "the logo is not drawn ($gold gold pixels)"
  elif [ "$logo" = no ] && [ "$gold" -ne 0 ]; then
    echo "a logo is drawn ($gold gold pixels)"
  else
    echo ok
  fi
}

# run_job SCENARIO DIR SCREENSHOT LOGO: looks at the windows, then types DEMO
# into the form and confirms with Ctrl+Enter.
run_job() {
  local scenario=$1 dir=$2 screenshot=$3 logo=$4 form verdict
  selected "$scenario" || return
  start_program "$dir"
  if ! form=$(find_window FORM 120); then
    stop_running_program
    check "$scenario" "the form did not show"
    return
  fi
  verdict=$(look_at_windows "$form" "$screenshot" "$logo")
  if [ "$verdict" != ok ]; then
    stop_running_program
    check "$scenario" "$verdict"
    return
  fi
  enter_program_name "$form" DEMO
  wait_for_exit 60
  if [ "$exit_code" != 0 ]; then
    check "$scenario" "exit code $exit_code"
    return
  fi
  check "$scenario" "$(same_outputs_as_reference "$dir")"
}

# run_without_job SCENARIO ACTION: starts the program, does ACTION with the
# form's and the main window's ids, and expects exit code 0 and no file touched.
run_without_job() {
  local scenario=$1 action=$2 dir form main before
  selected "$scenario" || return
  dir=$(fresh_copy "$scenario")
  before=$(listing "$dir")
  start_program "$dir"
  if ! form=$(find_window FORM 120); then
    stop_running_program
    check "$scenario" "the form did not show"
    return
  fi
  if ! main=$(find_window PARESKIT 10); then
    stop_running_program
    check "$scenario" "the main window did not show"
    return
  fi
  "$action" "$form" "$main"
  wait_for_exit 60
  if [ "$exit_code" != 0 ]; then
    check "$scenario" "exit code $exit_code"
  elif [ "$(listing "$dir")" != "$before" ]; then
    check "$scenario" "files changed: $(ls "$dir" | tr '\n' ' ')"
  else
    check "$scenario" ok
  fi
}

press_escape() {
  focus "$1"
  xdotool key Escape
}

# The list's only entry replaces the typed name; Ctrl+Enter then confirms the
# choice. The form takes the keys in the order they are typed.
choose_exit_entry() {
  focus "$1"
  type_text DEMO
  xdotool key Down ctrl+Return
}

close_main_window() {
  focus "$2"
  xdotool key alt+F4
}

run_job "name typed and confirmed" "$(fresh_copy typed)" "$artifacts/main.png" yes
run_without_job escape press_escape
run_without_job exit-entry choose_exit_entry
run_without_job main-window-closed close_main_window

dir=$(fresh_copy no-logo)
rm "$dir/crest.bmp"
run_job "no crest.bmp" "$dir" "$artifacts/no-logo.png" no

dir=$(fresh_copy truncated-logo)
head -c 3000 "$data/crest.bmp" >"$dir/crest.bmp"
# The rows that arrive are the bottom ones; the lettering lies higher up.
run_job "truncated crest.bmp" "$dir" "$artifacts/truncated-logo.png" no

dir=$(fresh_copy oversized-logo)
# An 8-bit 1024 x 1600 picture: 1,638,400 pixel bytes, more than the store holds.
python3 - "$dir/crest.bmp" <<'PY'
import struct, sys
width, height = 1024, 1600
table = b"".join(struct.pack("<BBBB", i, 255 - i, i // 2, 0) for i in range(256))
rows = bytes((x + y) % 256 for y in range(height) for x in range(width))
off = 54 + len(table)
with open(sys.argv[1], "wb") as out:
    out.write(struct.pack("<HIHHI", 0x4D42, off + len(rows), 0, 0, off))
    out.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 0, 0, 256, 0))
    out.write(table + rows)
PY
run_job "oversized crest.bmp" "$dir" "$artifacts/oversized-logo.png" any

finish
