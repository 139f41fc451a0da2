set(ARGS --print-library-dir)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDOUT "^\\.\r?\nchosen by: the current directory holds a master list\r?\nlibrary set: 3\\.0\r?\n$")
