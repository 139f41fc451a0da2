set(ARGS --show rect)
set(EXPECTED_EXIT 0)
set(EXPECTED_STDOUT "^Rect: FD symbol, needs nothing\r?\nblock in USER32\\.FD:\r?\n      TYPE, BIND\\(C\\) :: Rect\r?\n      END TYPE Rect\r?\n$")
