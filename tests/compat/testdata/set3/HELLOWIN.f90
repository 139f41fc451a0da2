! HELLOWIN.f90: the free-form HELLOWIN.  The same window, red greeting
! and four-second timer, with the declarations from the files that
! "pareskit-batch --free-form HELLOWIN" writes.  The window is created
! from the class atom, and the text is drawn with TextOutA.
program hellowin
  use, intrinsic :: iso_c_binding
  implicit none
  include 'HELLOWIN.FI'
  include 'HELLOWIN.FD'
  character(len=9, kind=c_char), target :: class_name
  type(WNDCLASSA) :: wc
  type(MSG) :: m
  integer(c_intptr_t) :: instance, window, class_atom, result
  integer(c_int32_t) :: stat
  procedure(WNDPROC), pointer :: check

  check => window_procedure

  class_name = 'HELLOF90' // c_null_char
  instance = GetModuleHandleA()
  wc = WNDCLASSA(style=ior(CS_HREDRAW, CS_VREDRAW), &
                 lpfnWndProc=c_funloc(window_procedure), &
                 cbClsExtra=0, cbWndExtra=0, hInstance=instance, &
                 hIcon=LoadIconA(0_c_intptr_t, IDI_APPLICATION), &
                 hCursor=LoadCursorA(0_c_intptr_t, IDC_ARROW), &
                 hbrBackground=GetStockObject(WHITE_BRUSH), &
                 lpszMenuName=c_null_ptr, lpszClassName=c_loc(class_name))
  ! An ATOM is an unsigned 16-bit number; the low word names the class.
  class_atom = iand(int(RegisterClassA(wc), c_intptr_t), 65535_c_intptr_t)
  if (class_atom == 0) stop 'RegisterClassA failed'

  window = CreateWindowExA(0, class_atom, 'Hello, free form' // c_null_char, &
                           WS_OVERLAPPEDWINDOW, 100, 100, 480, 240, &
                           0_c_intptr_t, 0_c_intptr_t, instance, c_null_ptr)
  if (window == 0) stop 'CreateWindowExA failed'
  stat = ShowWindow(window, SW_SHOWNORMAL)
  stat = UpdateWindow(window)
  if (SetTimer(window, 1_c_intptr_t, 4000, c_null_funptr) == 0) stop 'SetTimer failed'

  do while (GetMessageA(m, 0_c_intptr_t, 0, 0) > 0)
    stat = TranslateMessage(m)
    result = DispatchMessageA(m)
  end do

contains

  function window_procedure(hwnd, message, wparam, lparam) bind(c) result(answer)
    integer(c_intptr_t) :: answer
    integer(c_intptr_t), value :: hwnd, wparam, lparam
    integer(c_int32_t), value :: message
    type(PAINTSTRUCT) :: ps
    character(len=*, kind=c_char), parameter :: greeting = 'Hello from Fortran'
    integer(c_intptr_t) :: dc, brush
    integer(c_int32_t) :: stat

    answer = 0
    select case (message)
    case (WM_PAINT)
      ! The part to paint filled white, then the text in red (COLORREF
      ! 0x0000FF), 40 pixels in from the top left.
      dc = BeginPaint(hwnd, ps)
      brush = GetStockObject(WHITE_BRUSH)
      stat = FillRect(dc, ps%rcPaint, brush)
      stat = SetTextColor(dc, 255)
      stat = TextOutA(dc, 40, 40, greeting, len(greeting))
      stat = EndPaint(hwnd, ps)
    case (WM_TIMER)
      stat = KillTimer(hwnd, wparam)
      stat = DestroyWindow(hwnd)
    case (WM_DESTROY)
      call PostQuitMessage(0)
    case default
      answer = DefWindowProcA(hwnd, message, wparam, lparam)
    end select
  end function window_procedure

end program hellowin
