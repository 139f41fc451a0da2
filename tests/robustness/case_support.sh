# Shared by the robustness scripts that run the batch driver case by case.
# Sourced with `batch` (the driver), `work` (the folder below which each case
# gets its own) and, when the driver runs under an emulator, `emulator` set.
# Each script's start_case makes the case's folder with its input files and
# sets `case` and `failures_before`.
failures=0

rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAILED [$case]: $*" >&2
  failures=$((failures + 1))
}

# Lines joined with CR LF, each one ended by it.
crlf() {
  for line in "$@"; do printf '%s\r\n' "$line"; done
}

expect_exit() {
  [ "$status" -eq "$1" ] || fail "exit code $status, expected $1 ($(cat stderr.txt))"
}

expect_stderr() {
  grep -q "$1" stderr.txt || fail "standard error lacks \"$1\": $(cat stderr.txt)"
}

expect_absent() {
  for name in "$@"; do [ ! -e "$name" ] || fail "$name exists"; done
}

run_batch() {
  ${emulator:-} "$batch" DEMO >stdout.txt 2>stderr.txt
  status=$?
}

# end_case OUTCOME: the case's row, when none of its checks failed.
end_case() {
  if [ "$failures" -eq "$failures_before" ]; then echo "| $case | $1 |"; fi
  cd "$work" || exit 1
  rm -rf "$work/$case"
}

skip_case() {
  echo "| $case | SKIPPED: $1 |"
  cd "$work" || exit 1
  rm -rf "$work/$case"
}
