set(ARGS --library-dir lib DEMO)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDERR "^$")
