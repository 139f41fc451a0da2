set(ARGS --strict T)
set(EXPECTED_EXIT 4)
set(EXPECTED_STDERR "^pareskit-batch: FI symbol GetTickCount not found: its library file KERNEL32\\.FI is missing\r?\npareskit-batch: FI symbol wsprintfA not found: listed without a block in USER32\\.FI: not translated: variable argument list\r?\npareskit-batch: FI symbol NoBlock not found: no block in any library file\r?\npareskit-batch: library file GDI32\\.FI is missing\r?\n")
