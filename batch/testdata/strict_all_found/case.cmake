set(ARGS T --strict)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDERR "^$")
