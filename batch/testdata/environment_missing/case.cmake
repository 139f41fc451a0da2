set(ARGS DEMO)
set(ENVIRONMENT PARESKIT_LIBRARY_DIR=nowhere)
set(EXPECTED_EXIT 2)
set(EXPECTED_STDERR "cannot open nowhere/MASTERFI\\.LIS: the file does not exist \\(the library directory comes from \\$PARESKIT_LIBRARY_DIR\\)")
