#!/bin/sh
# Links, the lock of NAME.PRE and interrupts, met by the batch driver end to
# end, natively or under wine:
#   links_and_locks.sh BATCH WORKDIR [EMULATOR]
# Each case prepares a directory below WORKDIR, makes links that lead
# nowhere, holds NAME.PRE's lock as a job of the other back end
# holds it, interrupts a running job or starts jobs side by side, and checks
# the exit code, the standard-error line and every file left. Each case
# prints one row "| case | outcome |"; one the machine cannot stage prints
# "SKIPPED" with the reason. Exits 1 when any case failed.
set -u
batch=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$2
emulator=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
. "$(cd "$(dirname "$0")" && pwd)/case_support.sh"
if [ -n "$emulator" ]; then other=native; else other=wine; fi

start_case() {
  case=$1
  mkdir -p "$work/$case"
  cd "$work/$case" || exit 1
  crlf MSG >MASTERFI.LIS
  crlf GETDC BEEP >MASTERFD.LIS
  crlf "      CALL GETDC(MSG)" "      CALL BEEP" >DEMO.FOR
  crlf "C*GETDC" "      INTEGER GETDC" >USER32.FD
  crlf "C*MSG" "      STRUCTURE /MSG/" >USER32.FI
  failures_before=$failures
}

nothing_written() {
  expect_absent DEMO.FIH DEMO.FDH DEMO.FD DEMO.FI
}

# --- NAME.PRE a link that leads nowhere: refused, not taken for a lock, the
# same every time, and the file it leads to is not made.
start_case lock_file_links_nowhere
ln -s NEW.PRE DEMO.PRE
run_batch
run_batch
expect_exit 2
expect_stderr "^pareskit-batch: cannot open DEMO.PRE: the file is a link to a file that does not exist"
expect_absent NEW.PRE
nothing_written
end_case "job refused: DEMO.PRE leads nowhere (exit 2, each time); nothing written"

# --- Two outputs that would be one file once made: refused before anything
# is written, and the other output is not made. (The other links, natively,
# in RunJob.LinksAreJudgedByWhereTheyLead.)
start_case outputs_lead_to_one_file
ln -s DEMO.FI DEMO.FD
run_batch
expect_exit 2
expect_stderr "cannot open DEMO.FD: the file is a link to a file that does not exist"
expect_absent DEMO.FI DEMO.FIH DEMO.PRE
end_case "job refused: DEMO.FD leads to DEMO.FI, not made yet (exit 2); nothing written"

# --- A job of the other back end holds NAME.PRE's lock (hold_lock.py takes
# it as that job does): this one ends at once.
start_case lock_held_by_a_$other"_job"
if command -v python3 >/dev/null 2>&1; then
  python3 "$here/hold_lock.py" "$other" DEMO.PRE $emulator "$batch" DEMO >stdout.txt 2>stderr.txt
  status=$?
  expect_exit 2
  expect_stderr "another job for DEMO is running here (DEMO.PRE is locked); nothing was written"
  nothing_written
  end_case "job ends at once: a $other job holds DEMO.PRE's lock (exit 2); nothing written"
else
  skip_case "python3 is not installed"
fi

# --- A job interrupted while it scans a long source: the NAME.PRE its lock
# made goes with it. Under wine SIGINT arrives as Ctrl+C; wine ends a process
# on SIGTERM without telling it.
signals="INT TERM"
[ -n "$emulator" ] && signals=INT
for signal in $signals; do
  start_case "interrupted_by_SIG$signal"
  {
    printf '      CALL GETDC('
    head -c 104857600 /dev/zero | tr '\0' 'X'
    printf '\r\n      CALL BEEP\r\n'
  } >DEMO.FOR
  # Started in the background, a shell's job ignores SIGINT: given back.
  env --default-signal=INT,TERM $emulator "$batch" DEMO >stdout.txt 2>stderr.txt &
  pid=$!
  tries=0
  while [ ! -e DEMO.PRE ] && [ $tries -lt 1000 ]; do
    sleep 0.01
    tries=$((tries + 1))
  done
  kill -"$signal" $pid
  wait $pid
  status=$?
  [ "$status" -ne 0 ] || fail "exit code 0 after SIG$signal"
  expect_absent DEMO.PRE DEMO.PRE~*
  end_case "the job ends (exit $status); the DEMO.PRE its lock made is removed"
done

# --- Natively, with strace: a signal at a system call of the making of
# NAME.PRE (the exclusive create of the name it is made under first,
# NAME.PRE~<pid>, and its link to NAME.PRE) leaves neither name. An existing
# NAME.PRE is taken as it is, with no second name made beside it. A name the
# lock cannot remove is removed at the job's end, and named when that fails
# too. (A sanitizer's leak check cannot run under a tracer.)
traced() {
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
    env --default-signal=INT,TERM strace -f -o trace.txt "$@" >stdout.txt 2>stderr.txt
  status=$?
}
if [ -n "$emulator" ]; then
  :
elif ! strace -o /dev/null true 2>/dev/null; then
  start_case lock_file_made_under_faults
  skip_case "strace cannot trace here"
else
  start_case lock_file_made_under_faults
  traced -e trace=openat "$batch" DEMO
  create=$(awk '/openat\(/ { n++ } /DEMO\.PRE~/ { print n; exit }' trace.txt)
  [ -n "$create" ] || fail "no DEMO.PRE~<pid> made: $(cat trace.txt)"
  for signal in INT TERM; do
    for at in "openat:signal=$signal:when=$create" "link:signal=$signal:when=1"; do
      rm -f DEMO.PRE DEMO.FIH DEMO.FDH DEMO.FD DEMO.FI
      traced -e trace=openat,link -e inject="$at" "$batch" DEMO
      [ "$status" -eq 130 ] || [ "$status" -eq 143 ] || fail "exit $status after $at"
      expect_absent DEMO.PRE DEMO.PRE~*
    done
  done
  rm -f DEMO.PRE
  traced -e trace=unlink -e inject=unlink:error=EIO:when=1 "$batch" DEMO
  expect_exit 0
  expect_absent DEMO.PRE~*
  rm -f DEMO.PRE
  traced -e trace=unlink -e inject=unlink:error=EIO:when=1+ "$batch" DEMO
  expect_exit 3
  expect_stderr "^pareskit-batch: cannot remove DEMO.PRE~[0-9]*, the name the lock made DEMO.PRE under: the file could not be removed$"
  rm -f DEMO.PRE~*
  traced -e trace=openat,link,unlink "$batch" DEMO
  expect_exit 0
  ! grep -q 'DEMO\.PRE~' trace.txt || fail "a second name made beside DEMO.PRE: $(grep 'DEMO.PRE~' trace.txt)"
  end_case "no name left by SIGINT or SIGTERM while DEMO.PRE is made; none made beside an existing one; one left by failed removals is named (exit 3)"
fi

# --- Jobs for one program started side by side, each ending early (no
# source): only one runs at a time, and none leaves the NAME.PRE a lock made
# (a file is given its name only once it is locked).
start_case jobs_side_by_side
rm DEMO.FOR
# Fewer rounds where each process starts slowly: under wine, and where
# PK_SIDE_BY_SIDE_ROUNDS says so (the sanitizer build).
rounds=150
[ -n "$emulator" ] && rounds=10
rounds=${PK_SIDE_BY_SIDE_ROUNDS:-$rounds}
round=0
while [ $round -lt $rounds ]; do
  for _ in 1 2 3 4 5 6; do $emulator "$batch" DEMO >/dev/null 2>&1 & done
  wait
  [ ! -e DEMO.PRE ] || {
    fail "DEMO.PRE left in round $round"
    break
  }
  round=$((round + 1))
done
expect_absent DEMO.PRE~*
end_case "$rounds rounds of 6 jobs (exit 2 each, no source); no DEMO.PRE left"

rm -rf "$work"
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
exit 0
