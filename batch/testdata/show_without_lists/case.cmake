set(ARGS --library-dir=nowhere --show RECT)
set(EXPECTED_EXIT 4)
set(EXPECTED_STDERR "^pareskit-batch: cannot open nowhere/MASTERFI\\.LIS: the file does not exist\r?\npareskit-batch: cannot open nowhere/MASTERFD\\.LIS: the file does not exist\r?\n$")
set(EXPECTED_STDOUT "^RECT: in no master list; no name is close\r?\n$")
