set(ARGS --library-dir=nowhere DEMO)
set(EXPECTED_EXIT 2)
set(EXPECTED_STDERR "cannot open nowhere/MASTERFI\\.LIS: the file does not exist")
