# The support library libpareskit.a: the C macros of the Win32 headers as
# functions (LOWORD, RGB, CreateWindowA, ListView_InsertItem ...), whose
# generic interfaces the library files hold. It is a library of the target,
# Windows, in every build: made with the mingw-w64 C compiler from the
# generated sources in examples/libpareskit/, one object per Win32 library,
# so that a program links only the objects of the libraries it uses.
# PK_SUPPORT_LIBRARY is its path, or empty when the cross compiler is missing
# (the packages then go without it).
find_program(PK_MINGW_GCC x86_64-w64-mingw32-gcc)
find_program(PK_MINGW_AR x86_64-w64-mingw32-ar)
set(PK_SUPPORT_LIBRARY "")
file(GLOB pk_support_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/examples/libpareskit/pareskit_*.c)
if(PK_MINGW_GCC AND PK_MINGW_AR)
  set(pk_dir ${CMAKE_BINARY_DIR}/libpareskit)
  set(pk_objects)
  foreach(source IN LISTS pk_support_sources)
    get_filename_component(stem ${source} NAME_WE)
    add_custom_command(OUTPUT ${pk_dir}/${stem}.o
      COMMAND ${CMAKE_COMMAND} -E make_directory ${pk_dir}
      COMMAND ${PK_MINGW_GCC} -O2 -Wall -Werror -c ${source} -o ${pk_dir}/${stem}.o
      DEPENDS ${source} VERBATIM)
    list(APPEND pk_objects ${pk_dir}/${stem}.o)
  endforeach()
  set(PK_SUPPORT_LIBRARY ${pk_dir}/libpareskit.a)
  add_custom_command(OUTPUT ${PK_SUPPORT_LIBRARY}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${PK_SUPPORT_LIBRARY}
    COMMAND ${PK_MINGW_AR} rcsD ${PK_SUPPORT_LIBRARY} ${pk_objects}
    DEPENDS ${pk_objects} VERBATIM)
  add_custom_target(pareskit_support ALL DEPENDS ${PK_SUPPORT_LIBRARY})
else()
  message(WARNING "x86_64-w64-mingw32-gcc or -ar not found: the support "
    "library libpareskit.a is not built, and the packages go without it")
endif()
