set(ARGS DEMO)
set(EXPECTED_EXIT 1)
set(EXPECTED_STDERR "run-time error")
