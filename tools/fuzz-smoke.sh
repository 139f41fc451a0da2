#!/bin/sh
# Builds the fuzz preset and runs every fuzz target for a short fixed time
# (PK_FUZZ_SECONDS, 25 by default) from its seed corpus. Fails on the first
# finding: a crash, a sanitizer report or a broken property. The input that
# caused it is left in build/fuzz/findings/<target>/; keep it as a regression
# input in fuzz/regressions/<target>/ once the fault is fixed.
set -eu
cd "$(dirname "$0")/.."
seconds=${PK_FUZZ_SECONDS:-25}
targets="fuzz_read_line fuzz_master_list fuzz_source_scan fuzz_declaration_copy fuzz_logo
fuzz_form_description fuzz_number_edit"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

for target in $targets; do
  work=build/fuzz/work/$target
  findings=build/fuzz/findings/$target
  rm -rf "$work"
  mkdir -p "$work" "$findings"
  # The seeds are copied so that what the run learns stays out of the tree.
  cp fuzz/corpus/$target/* "$work"/
  max_len=4096
  [ "$target" = fuzz_form_description ] && max_len=2000
  [ "$target" = fuzz_number_edit ] && max_len=30
  log=build/fuzz/$target.log
  if ! build/fuzz/fuzz/$target -max_total_time="$seconds" -max_len=$max_len -timeout=10 \
      -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$work" >"$log" 2>&1; then
    grep -E "property broken|ERROR|SUMMARY" "$log" >&2 || true
    echo "fuzz-smoke: $target found a fault; input in $findings/, log in $log" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz-smoke: $target: $runs runs in ${seconds}s, no finding"
done
