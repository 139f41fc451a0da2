set(ARGS -h)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDOUT "^usage: pareskit-batch \\[OPTIONS\\] NAME.*--strict.*Exit codes:")
