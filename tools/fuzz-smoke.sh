#!/bin/sh
# Builds the fuzz preset and runs every fuzz target of fuzz/targets.txt for a
# short fixed time (PK_FUZZ_SECONDS, 25 by default) from its seed corpus, two
# at a time. Fails when a target found something: a crash, a sanitizer report
# or a broken property. The input that caused it is left in
# build/fuzz/findings/<target>/; keep it as a regression input in
# fuzz/regressions/<target>/ once the fault is fixed.
set -eu
cd "$(dirname "$0")/.."
seconds=${PK_FUZZ_SECONDS:-25}
. tools/fuzz-targets.sh

# smoke TARGET MAX_LEN: one short run from a copy of the seeds, so that what
# the run learns stays out of the tree.
smoke() {
  work=build/fuzz/work/$1
  log=build/fuzz/$1.log
  rm -rf "$work"
  mkdir -p "$work"
  cp fuzz/corpus/"$1"/* "$work"/ || return 1
  if ! run_fuzzer "$1" "$2" "$work" "$log"; then
    grep -E "property broken|ERROR|SUMMARY" "$log" >&2 || true
    echo "fuzz-smoke: $1 found a fault; input in build/fuzz/findings/$1/, log in $log" >&2
    return 1
  fi
  echo "fuzz-smoke: $1: $(runs_in "$log") runs in ${seconds}s, no finding"
}

build_fuzz_targets
each_target_two_at_a_time smoke
