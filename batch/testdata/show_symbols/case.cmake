set(ARGS --library-dir lib --show paintstruct MESSAGEBOX messageboxa MessageBoxW MesageBox
  GetTickCount color NoSuch)
set(EXPECTED_EXIT 4)
