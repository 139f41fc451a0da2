! GEOMETRY: a module (.f08) that takes RECT from its own GEOMETRY.FD and
! keeps it PRIVATE, as every name of the INCLUDEd declarations must stay:
! a program that USEs the module INCLUDEs its own RECT (AREAS.f03), and two
! accessible definitions of one name are an error. A BIND(C) type defined
! twice alike is one type, so the program's RECT passes to area().
module geometry
  use, intrinsic :: iso_c_binding
  implicit none
  private
  public :: area
  include 'GEOMETRY.FD'
contains
  integer function area(r)
    type(RECT), intent(in) :: r
    area = (r%right - r%left) * (r%bottom - r%top)
  end function area
end module geometry
