set(ARGS --strict DEMO)
set(EXPECTED_EXIT 4)
set(EXPECTED_STDERR "^pareskit-batch: FD symbol RECT \\(needed by PAINTSTRUCT\\) not found: no block in any library file\r?\npareskit-batch: library file GDI32\\.FD is missing\r?\n")
