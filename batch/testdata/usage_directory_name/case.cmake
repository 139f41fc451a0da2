set(ARGS ../elsewhere/DEMO)
set(EXPECTED_EXIT 64)
set(EXPECTED_STDERR "NAME must not name a directory; run pareskit-batch in the program.s folder: \\.\\./elsewhere/DEMO")
