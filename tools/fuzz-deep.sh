#!/bin/sh
# A longer local fuzzing run: every fuzz target of fuzz/targets.txt for
# PK_FUZZ_SECONDS (600 by default), two at a time, each from a corpus kept in
# build/fuzz/deep/<target> that grows from run to run (seeded from
# fuzz/corpus). Findings go to build/fuzz/findings/<target>/; the script lists
# them and fails when any target found one. Minimised new corpus entries worth
# keeping can be merged into fuzz/corpus/<target>/ with -merge=1.
set -u
cd "$(dirname "$0")/.."
seconds=${PK_FUZZ_SECONDS:-600}
. tools/fuzz-targets.sh

# deep TARGET MAX_LEN: one long run on the target's growing corpus.
deep() {
  corpus=build/fuzz/deep/$1
  log=build/fuzz/deep-$1.log
  mkdir -p "$corpus"
  cp -n fuzz/corpus/"$1"/* "$corpus"/ 2>/dev/null
  if run_fuzzer "$1" "$2" "$corpus" "$log"; then
    echo "fuzz-deep: $1: $(runs_in "$log") runs in ${seconds}s, no finding"
  else
    echo "fuzz-deep: $1: FINDING, see $log and build/fuzz/findings/$1/"
    return 1
  fi
}

build_fuzz_targets || exit 1
each_target_two_at_a_time deep
