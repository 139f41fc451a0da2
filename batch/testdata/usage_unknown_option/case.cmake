set(ARGS --bogus DEMO)
set(EXPECTED_EXIT 64)
set(EXPECTED_STDERR "unknown option: --bogus\r?\nusage: pareskit-batch \\[OPTIONS\\] NAME")
