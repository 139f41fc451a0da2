set(ARGS --version)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDOUT "^pareskit-batch [0-9.]+\r?\nlibrary set 3\\.0 \\(generator 3\\.0, mingw-w64 headers 10\\.0\\.0\\)\r?\n$")
