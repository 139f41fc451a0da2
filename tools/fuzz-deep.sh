#!/bin/sh
# A longer local fuzzing run: every fuzz target for PK_FUZZ_SECONDS (600 by
# default), two at a time, each from a corpus kept in build/fuzz/deep/<target>
# that grows from run to run (seeded from fuzz/corpus). Findings go to
# build/fuzz/findings/<target>/; the script lists them and fails when any
# target found one. Minimised new corpus entries worth keeping can be merged
# into fuzz/corpus/<target>/ with -merge=1.
set -u
cd "$(dirname "$0")/.."
seconds=${PK_FUZZ_SECONDS:-600}
targets="fuzz_read_line fuzz_master_list fuzz_source_scan fuzz_declaration_copy fuzz_logo
fuzz_form_description fuzz_number_edit"

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz -j2 || exit 1

run_target() {
  target=$1
  corpus=build/fuzz/deep/$target
  findings=build/fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  cp -n fuzz/corpus/$target/* "$corpus"/ 2>/dev/null
  max_len=4096
  [ "$target" = fuzz_form_description ] && max_len=2000
  [ "$target" = fuzz_number_edit ] && max_len=30
  build/fuzz/fuzz/$target -max_total_time="$seconds" -max_len=$max_len -timeout=10 \
    -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" >build/fuzz/deep-$target.log 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' build/fuzz/deep-$target.log)
  if [ $status -eq 0 ]; then
    echo "fuzz-deep: $target: $runs runs in ${seconds}s, no finding"
  else
    echo "fuzz-deep: $target: FINDING, see build/fuzz/deep-$target.log and $findings/"
  fi
  return $status
}

failed=0
set -- $targets
while [ $# -gt 0 ]; do
  first=$1
  shift
  run_target "$first" &
  first_pid=$!
  second_status=0
  if [ $# -gt 0 ]; then
    run_target "$1" || second_status=1
    shift
  fi
  wait $first_pid || failed=1
  [ $second_status -eq 0 ] || failed=1
done
exit $failed
