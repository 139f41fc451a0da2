# Sourced by the package tests. Needs: examples (the examples/ folder).

job_files="DEMO.FD DEMO.FI DEMO.FDH DEMO.FIH DEMO.PRE"

# in_tree_run DIR COMMAND...: the job for DEMO run by COMMAND on a copy of
# examples/ in DIR, the reference for the installed packages' runs.
in_tree_run() {
  local dir=$1
  shift
  cp -r "$examples" "$dir"
  (cd "$dir" && "$@" DEMO >/dev/null 2>&1) || {
    echo "FAIL the in-tree run of $* DEMO"
    exit 1
  }
}

# project_with_demo DIR: an empty project folder holding only DEMO.FOR.
project_with_demo() {
  mkdir -p "$1"
  cp "$examples/DEMO.FOR" "$1"
}

# same_job_files REFERENCE DIR: prints ok, or which job file differs.
same_job_files() {
  local name
  for name in $job_files; do
    if ! cmp -s "$1/$name" "$2/$name"; then
      echo "$name differs from the in-tree run's"
      return
    fi
  done
  echo ok
}

source "$(dirname "${BASH_SOURCE[0]}")/../../tools/scenarios.sh"
