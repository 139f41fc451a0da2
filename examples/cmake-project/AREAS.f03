! AREAS: a program (.f03) that USEs the module GEOMETRY and INCLUDEs its
! own declarations, AREAS.FD, with the same RECT.
program areas
  use, intrinsic :: iso_c_binding
  use geometry
  implicit none
  include 'AREAS.FD'
  type(RECT) :: r
  r = RECT(1, 2, 31, 42)
  write (*, '(A, I0)') 'area = ', area(r)
end program areas
