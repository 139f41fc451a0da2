set(ARGS -?)
set(PLATFORM posix)
set(EXPECTED_EXIT 64)
set(EXPECTED_STDERR "unknown option: -\\?")
