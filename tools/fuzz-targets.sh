# Sourced by tools/fuzz-smoke.sh and tools/fuzz-deep.sh (from the source
# tree's root, with `seconds` set): the fuzz preset's build, one run of a
# fuzzer, and one runner over the targets of fuzz/targets.txt.

build_fuzz_targets() {
  cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j2
}

# run_fuzzer TARGET MAX_LEN CORPUS LOG: runs TARGET for $seconds on CORPUS,
# which it adds to; a finding goes to build/fuzz/findings/TARGET/, the output
# to LOG. Returns the fuzzer's status (0: no finding).
run_fuzzer() {
  mkdir -p build/fuzz/findings/"$1" || return 1
  build/fuzz/fuzz/"$1" -max_total_time="$seconds" -max_len="$2" -timeout=10 \
    -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix=build/fuzz/findings/"$1"/ \
    "$3" >"$4" 2>&1
}

# runs_in LOG: how many inputs the run of LOG tried.
runs_in() {
  sed -n 's/^stat::number_of_executed_units: *//p' "$1"
}

# each_target_two_at_a_time COMMAND: runs COMMAND TARGET MAX_LEN for every
# target, two at a time; returns 1 when any run returned non-zero, 0 otherwise.
each_target_two_at_a_time() {
  command=$1
  # shellcheck disable=SC2046 # one word per target
  set -- $(awk '/^fuzz_/ { print $1 ":" $3 }' fuzz/targets.txt)
  failed=0
  while [ $# -gt 0 ]; do
    "$command" "${1%%:*}" "${1#*:}" &
    first_pid=$!
    second_status=0
    if [ $# -gt 1 ]; then
      "$command" "${2%%:*}" "${2#*:}" || second_status=1
      shift
    fi
    shift
    wait $first_pid || failed=1
    [ $second_status -eq 0 ] || failed=1
  done
  return $failed
}
