! GEOM: a free-form source (.f95) of the program WINCONST, with its own
! declarations extracted into GEOM.FD: prints the size of a RECT.
subroutine geom()
  use, intrinsic :: iso_c_binding
  implicit none
  include 'GEOM.FD'
  type(RECT) :: r
  r = RECT(1, 2, 31, 42)
  write (*, '(A, I0, A, I0)') 'RECT = ', r%right - r%left, ' x ', r%bottom - r%top
end subroutine geom
