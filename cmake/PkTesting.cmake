# Test plumbing shared by every subsystem.
#   pk_add_test(NAME <target> SOURCES <files...> LIBS <libs...>)
# Natively each GoogleTest case becomes a CTest test; in the cross build the
# whole binary is one CTest test run under wine (test discovery would start
# wine once per case).
if(PK_BUILD_TESTS)
  enable_testing()
  if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # The sources are third-party: their warnings are not ours to fix.
    foreach(target gtest gtest_main gmock gmock_main)
      if(TARGET ${target})
        target_compile_options(${target} PRIVATE -w)
      endif()
    endforeach()
  else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
  endif()
endif()

function(pk_add_test)
  if(NOT PK_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
  else()
    gtest_discover_tests(${ARG_NAME} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# Tests that show windows on the X display or type keys into them run one at
# a time, also in a parallel ctest run: no window may cover another test's
# screenshot, and no key may reach another test's window.
function(pk_uses_display)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK display)
endfunction()
