set(ARGS --version)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDOUT "^pareskit-batch [0-9]+\\.[0-9]+\\.[0-9]+\r?\nlibrary set unknown\r?\n$")
