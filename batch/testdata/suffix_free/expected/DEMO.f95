! A small free-form program: GetStockObject is named in this comment only
program demo
  include 'DEMO.FI'
  type(msg) :: m
  type(paintstruct) :: ps   ! not Rect
  integer :: hdc, hwnd
  hdc = GetDC(hwnd)
  call Beep(440, &
            100)
  i = MessageBoxA(0, 'Hello! ' // 'x', 'CreateFileA', 0)
  i = Release&
      ! a comment line between the lines of one statement
      &DC(hwnd, hdc)
  i = lzopenfilea(0, 0, 0)
end program demo
