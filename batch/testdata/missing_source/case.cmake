set(ARGS DEMO)
set(EXPECTED_EXIT 2)
set(EXPECTED_STDERR "cannot open DEMO\\.FOR: the file does not exist")
