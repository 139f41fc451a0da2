set(ARGS )
set(EXPECTED_EXIT 64)
set(EXPECTED_STDERR "usage: pareskit-batch \\[OPTIONS\\] NAME")
