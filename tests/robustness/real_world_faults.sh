#!/bin/sh
# Real-world faults met by the batch driver, end to end:
#   real_world_faults.sh BATCH WORKDIR
# Each case prepares a directory below WORKDIR, breaks something the way a
# real machine does (a full device, a disk that fills while writing, a
# read-only directory, a directory where a file should be, a FIFO or an
# endless device as an input, an output linked to a library, a second job
# running, a source of 100 MB on one line, a master list beyond the table's
# room, a write and its take-back failing in a row, the --json summary under
# faults) and checks the exit code, the standard-error lines and every file the
# job leaves. Each case
# prints one row "| case | outcome |"; a case the machine cannot stage prints
# "SKIPPED" with the reason. Exits 1 when any case failed.
set -u
batch=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$2
. "$(cd "$(dirname "$0")" && pwd)/case_support.sh"

# expect_file NAME LINE...: the file holds exactly these CR LF lines.
expect_file() {
  name=$1
  shift
  if [ ! -f "$name" ]; then
    fail "$name missing"
    return
  fi
  crlf "$@" >"$name.expected"
  cmp -s "$name" "$name.expected" || fail "$name differs: $(od -c "$name" | head -5)"
  rm -f "$name.expected"
}

expect_empty() {
  [ -f "$1" ] && [ ! -s "$1" ] || fail "$1 is not an empty file"
}

start_case() {
  case=$1
  mkdir -p "$work/$case"
  cd "$work/$case" || exit 1
  crlf MSG RECT >MASTERFI.LIS
  crlf GETDC BEEP BIGBLOCK >MASTERFD.LIS
  crlf "C     THE PROGRAM" "      CALL GETDC(MSG)" "      CALL BEEP(RECT)" \
    "      CALL BIGBLOCK" >DEMO.FOR
  crlf "C*GETDC" "      INTEGER GETDC" "C*BEEP" "      INTEGER BEEP" >USER32.FD
  crlf "C*BIGBLOCK" "      INTEGER BIGBLOCK" >KERNEL32.FD
  crlf "C*MSG" "      STRUCTURE /MSG/" >USER32.FI
  crlf "C*RECT" "      STRUCTURE /RECT/" >GDI32.FI
  failures_before=$failures
}

expect_used_lists() {
  expect_file DEMO.FIH MSG RECT
  expect_file DEMO.FDH GETDC BEEP BIGBLOCK
}

# --- A device that is always full stands where NAME.FD goes: it cannot be
# emptied, so the job ends there; the lists and the empty report stay.
start_case disk_full_device
ln -s /dev/full DEMO.FD
run_batch
expect_exit 2
expect_stderr "cannot open DEMO.FD: a write to the file was refused"
expect_used_lists
expect_empty DEMO.PRE
expect_absent DEMO.FI
end_case "job ends: cannot open DEMO.FD (exit 2); lists kept, report empty"

# big_block: a block of 200 long lines, more than a file-size limit of 2 KB
# lets through.
big_block() {
  printf 'C*BIGBLOCK\r\n'
  i=0
  while [ $i -lt 200 ]; do
    printf '      INTEGER BIGBLOCK_PART_%03d_THAT_MAKES_THIS_BLOCK_TOO_LONG\r\n' $i
    i=$((i + 1))
  done
}

# --- The disk fills while NAME.FD is written: the file-size limit makes the
# writes past 2 KB fail as a full disk does (SIGXFSZ ignored, so the write
# itself reports it). The block that did not fit is taken back whole and
# reported not found; the blocks before it stay. The job completes, but not
# as it would have without the fault: exit 3, and the file that failed.
start_case disk_fills_while_writing
big_block >KERNEL32.FD
(
  trap '' XFSZ
  ulimit -f 4
  exec "$batch" DEMO >stdout.txt 2>stderr.txt
)
status=$?
expect_exit 3
expect_stderr "^pareskit-batch: cannot write DEMO.FD: the disk is full$"
[ "$(wc -l <stderr.txt)" -eq 1 ] || fail "more than one line on standard error"
expect_used_lists
expect_file DEMO.FD "      INTEGER GETDC" "      INTEGER BEEP"
expect_file DEMO.FI "      STRUCTURE /MSG/" "      STRUCTURE /RECT/"
expect_file DEMO.PRE "       3 FD Symbols were specified" "       1 FD Symbols were not found" \
  " FD Symbols not found:" "BIGBLOCK" "       2 FI Symbols were specified" \
  "       0 FI Symbols were not found"
end_case "complete but degraded (exit 3, cannot write DEMO.FD); the block is taken back, reported not found"

# --- The same with a block after the one that did not fit, in the same
# library: its copying stops there, so that block is not met either, and
# --strict and --json say so instead of calling it a block no library holds.
start_case disk_fills_strict
crlf GETDC BEEP BIGBLOCK "SLEEP KERNEL32" >MASTERFD.LIS
crlf "      CALL BIGBLOCK" "      CALL SLEEP" >DEMO.FOR
{
  big_block
  crlf "C*SLEEP" "      INTEGER SLEEP"
} >KERNEL32.FD
# Standard output through a pipe, which the file-size limit does not bound.
(
  trap '' XFSZ
  ulimit -f 4
  "$batch" --strict --json DEMO 2>stderr.txt
  echo $? >status.txt
) | cat >stdout.txt
status=$(cat status.txt)
expect_exit 4
expect_stderr "^pareskit-batch: FD symbol BIGBLOCK not found: its block could not be written to DEMO.FD$"
expect_stderr "^pareskit-batch: FD symbol SLEEP not found: its block in KERNEL32.FD was not reached: the copying of that file stopped at a block that could not be written to DEMO.FD$"
grep -q '"symbol": "SLEEP", "needed_by": null, "reason": "library-not-copied", "library": "KERNEL32.FD"' stdout.txt ||
  fail "the summary gives SLEEP another reason: $(grep SLEEP stdout.txt)"
end_case "complete (exit 4 with --strict); the block after the one that did not fit is told not reached, not missing"

# --- A read-only directory: the first list cannot be created, the job ends
# and nothing is written. Root ignores permission bits, so as root the run is
# made as the unprivileged user "nobody".
start_case read_only_directory
touch stdout.txt stderr.txt
chmod 555 .
as_user=""
if [ "$(id -u)" -eq 0 ]; then
  as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
  command -v setpriv >/dev/null 2>&1 || as_user=skip
fi
if [ "$as_user" = skip ]; then
  chmod 755 .
  skip_case "running as root without setpriv"
else
  $as_user "$batch" DEMO >stdout.txt 2>stderr.txt
  status=$?
  chmod 755 .
  expect_exit 2
  expect_stderr "cannot open DEMO.FIH: access to the file is denied"
  expect_absent DEMO.FIH
  expect_absent DEMO.PRE
  end_case "job ends: cannot open DEMO.FIH (exit 2); nothing written"
fi

# --- A directory where NAME.FD should be.
start_case directory_as_output
mkdir DEMO.FD
run_batch
expect_exit 2
expect_stderr "cannot open DEMO.FD: access to the file is denied"
expect_used_lists
expect_empty DEMO.PRE
end_case "job ends: cannot open DEMO.FD (exit 2); lists kept, report empty"

# --- A library file that is a directory: that library is skipped and its
# symbols are reported not found.
start_case directory_as_library
rm USER32.FD
mkdir USER32.FD
run_batch
expect_exit 0
expect_used_lists
expect_file DEMO.FD "      INTEGER BIGBLOCK"
expect_file DEMO.PRE "       3 FD Symbols were specified" "       2 FD Symbols were not found" \
  " FD Symbols not found:" "GETDC" "BEEP" "       2 FI Symbols were specified" \
  "       0 FI Symbols were not found"
end_case "complete (exit 0); the library is skipped, its symbols reported not found"

# --- A FIFO as the source: refused at open like a directory, without waiting
# for a writer that never comes (the timeout would end a job that waits).
start_case fifo_source
rm DEMO.FOR
mkfifo DEMO.FOR
timeout 20 "$batch" DEMO >stdout.txt 2>stderr.txt
status=$?
rm -f DEMO.FOR
expect_exit 2
expect_stderr "cannot open DEMO.FOR: access to the file is denied"
expect_absent DEMO.FIH
expect_absent DEMO.PRE
end_case "job ends at once: cannot open DEMO.FOR (exit 2); nothing written"

# --- An endless device as a library: refused at open and skipped, as a
# library that cannot be opened is, instead of being read forever.
start_case endless_device_library
rm USER32.FD
ln -s /dev/zero USER32.FD
timeout 20 "$batch" DEMO >stdout.txt 2>stderr.txt
status=$?
expect_exit 0
expect_file DEMO.FD "      INTEGER BIGBLOCK"
expect_file DEMO.PRE "       3 FD Symbols were specified" "       2 FD Symbols were not found" \
  " FD Symbols not found:" "GETDC" "BEEP" "       2 FI Symbols were specified" \
  "       0 FI Symbols were not found"
end_case "complete (exit 0); the device is skipped, its symbols reported not found"

# --- NAME.FD is a link to a library file: the job would empty the library
# and then copy nothing from it. It is refused before anything is written.
start_case output_linked_to_library
ln -s USER32.FD DEMO.FD
cp USER32.FD USER32.FD.before
run_batch
expect_exit 2
expect_stderr "^pareskit-batch: DEMO.FD is the same file as USER32.FD; nothing was written$"
cmp -s USER32.FD USER32.FD.before || fail "USER32.FD changed"
expect_absent DEMO.FIH
expect_absent DEMO.PRE
end_case "job refused: DEMO.FD is the same file as USER32.FD (exit 2); nothing written"

# --- Another job for the program is running: flock(1) holds NAME.PRE's lock
# as that job would while this one starts.
start_case second_job_running
if command -v flock >/dev/null 2>&1; then
  flock DEMO.PRE "$batch" DEMO >stdout.txt 2>stderr.txt
  status=$?
  expect_exit 2
  expect_stderr "another job for DEMO is running here (DEMO.PRE is locked); nothing was written"
  expect_absent DEMO.FIH
  expect_empty DEMO.PRE
  end_case "job ends at once: another job holds DEMO.PRE's lock (exit 2); nothing written"
else
  skip_case "flock(1) is not installed"
fi

# --- A source of 100 MB on one line: only its first 80 columns count, the
# rest is skipped without being held, and the next line is read as usual.
start_case source_100mb_one_line
{
  printf '      CALL GETDC('
  head -c 104857600 /dev/zero | tr '\0' 'X'
  printf '\r\n      CALL BEEP\r\n'
} >DEMO.FOR
run_batch
rm -f DEMO.FOR
expect_exit 0
expect_file DEMO.FDH GETDC BEEP
expect_file DEMO.FIH
expect_file DEMO.PRE "       2 FD Symbols were specified" "       0 FD Symbols were not found" \
  "       0 FI Symbols were specified" "       0 FI Symbols were not found"
end_case "complete (exit 0); only the first 80 columns of the long line are scanned"

# --- A master list of 60,000 entries, beyond the table's 50,000: loading stops
# at entry 50,000 and the job goes on with the entries loaded.
start_case master_list_60000
awk 'BEGIN { for (i = 1; i <= 60000; i++) printf "S%05d\r\n", i }' >MASTERFD.LIS
crlf "      CALL S00001" "      CALL S50000" "      CALL S50001" "      CALL S60000" >DEMO.FOR
crlf "C*S00001" "      INTEGER S00001" "C*S50000" "      INTEGER S50000" >USER32.FD
run_batch
expect_exit 0
expect_file DEMO.FDH S00001 S50000
expect_file DEMO.FD "      INTEGER S00001" "      INTEGER S50000"
end_case "complete (exit 0); entries past 50,000 are not loaded, their symbols not seen"

# --- A double fault: a used list outgrows the transfer buffer, its second
# write-out fails (EIO, injected by strace) and so does every truncation after
# it, the take-back to the last whole line too. The end line says the list is
# left incomplete. With one failed take-back only, the second one cuts the
# list to its last whole line and the end line is the plain one.
start_case double_fault_used_list
: >MASTERFD.LIS
: >DEMO.FOR
i=100
while [ $i -lt 200 ]; do
  crlf "CREATEELLIPTICREGION$i" >>MASTERFD.LIS
  crlf "      CALL CREATEELLIPTICREGION$i" >>DEMO.FOR
  i=$((i + 1))
done
if strace -o /dev/null true 2>/dev/null; then
  # Truncations: DEMO.FIH emptied, DEMO.FDH emptied and cut, then the take-backs.
  # (A sanitizer's leak check cannot run under a tracer.)
  for after in "4+" 4; do
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -o /dev/null -e trace=write,ftruncate -e inject=write:error=EIO:when=2 \
      -e inject=ftruncate:error=EIO:when=$after "$batch" DEMO >stdout.txt 2>stderr.txt
    status=$?
    expect_exit 2
    if [ "$after" = "4+" ]; then
      expect_stderr "^pareskit-batch: cannot write DEMO.FDH: a write to the file was refused; the file is left incomplete and may end inside a line$"
    else
      expect_stderr "^pareskit-batch: cannot write DEMO.FDH: a write to the file was refused$"
      [ "$(tail -c 2 DEMO.FDH | od -An -c | tr -d ' ')" = '\r\n' ] || fail "DEMO.FDH ends inside a line"
    fi
  done
  end_case "job ends (exit 2); the list whose take-back keeps failing is named incomplete, one failure is made good"
else
  skip_case "strace cannot trace here"
fi

# --- The --json summary under faults (strace): a close of DEMO.FD that fails
# ends the process (exit 1) with the summary of the job so far, and a write
# of the summary that a signal interrupts (EINTR) is made again.
start_case json_summary_under_faults
if strace -o /dev/null true 2>/dev/null; then
  traced() {
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -o trace.txt "$@" \
      "$batch" --json DEMO >stdout.txt 2>stderr.txt
    status=$?
  }
  traced -e trace=openat,close,write
  rm -f DEMO.FIH DEMO.FDH DEMO.FD DEMO.FI DEMO.PRE
  close=$(awk '/^close\(/ { n++ } /^openat\(.*"DEMO\.FD"/ { split($0, r, "= "); fd = r[2] + 0 }
    fd != "" && $0 ~ "^close\\(" fd "\\)" { print n; exit }' trace.txt)
  write=$(awk '/^write\(/ { n++ } /^write\(1,/ { print n; exit }' trace.txt)
  traced -e trace=close -e inject=close:error=EIO:when="$close"
  expect_exit 1
  expect_stderr "^run-time error F6424: CLOSE(DEMO.FD)$"
  grep -q '"exit_code": 1,' stdout.txt || fail "no summary with exit code 1: $(cat stdout.txt)"
  grep -q '"end": "not-closed",' stdout.txt || fail "the summary's end: $(grep end stdout.txt)"
  grep -q '"ended_on": {"file": "DEMO.FD", "reason": "the file could not be closed"}' stdout.txt ||
    fail "the summary's file: $(grep ended_on stdout.txt)"
  traced -e trace=write -e inject=write:error=EINTR:when="$write"
  expect_exit 0
  [ "$(tail -n 1 stdout.txt)" = "}" ] && grep -q '"files_written": \["DEMO.FIH"' stdout.txt ||
    fail "the summary is cut: $(cat stdout.txt)"
  end_case "a fatal close ends the process (exit 1) after the summary so far; an interrupted summary write is made again"
else
  skip_case "strace cannot trace here"
fi

rm -rf "$work"
if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
exit 0
