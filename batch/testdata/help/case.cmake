set(ARGS DEMO --help)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDOUT "^usage: pareskit-batch \\[OPTIONS\\] NAME.*PARESKIT_LIBRARY_DIR")
