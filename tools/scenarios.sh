# Sourced by the test scripts that try scenarios one after another and count
# them: check SCENARIO VERDICT prints and counts one outcome (the verdict ok is
# a pass, any other text tells what is wrong); finish prints the count and
# returns 0 when no scenario failed, 1 otherwise.
passed=0
failed=0

check() {
  if [ "$2" = ok ]; then
    passed=$((passed + 1))
    echo "PASS $1"
  else
    failed=$((failed + 1))
    echo "FAIL $1: $2"
  fi
}

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
