set(ARGS /?)
set(PLATFORM windows)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDOUT "^usage: pareskit-batch")
