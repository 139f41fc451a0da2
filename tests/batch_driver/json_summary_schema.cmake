# The --json summary of the batch driver checked against its schema (README,
# "Batch driver"): every member with its JSON type, then the values of two
# runs, a job that completed with symbols not found under --strict and one
# that ended early.
# Called with -DBATCH=<driver> -DEMULATOR=<runner or empty> -DCASES=<testdata>
# -DSCRATCH=<dir>.

# The members every summary has, with their types.
set(schema
  program STRING  source OBJECT  source.file STRING  source.form STRING
  library_dir OBJECT  library_dir.path STRING  library_dir.chosen_by STRING
  library_dir.why STRING  library_set OBJECT  library_set.version STRING
  strict BOOLEAN  exit_code NUMBER  exit_meaning STRING  end STRING
  kinds OBJECT  not_found ARRAY  not_found_untold NUMBER
  missing_library_files ARRAY  faults ARRAY  files_written ARRAY)
set(symbol_schema kind STRING symbol STRING reason STRING detail STRING)

function(fail message)
  message(SEND_ERROR "${run}: ${message}")
endfunction()

# expect(VALUE JSON-PATH...): the member has that value.
function(expect value)
  string(JSON actual ERROR_VARIABLE error GET "${json}" ${ARGN})
  if(error OR NOT actual STREQUAL value)
    fail("${ARGN} is '${actual}' (${error}), expected '${value}'")
  endif()
endfunction()

function(check_schema)
  list(LENGTH schema count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    list(GET schema ${i} path)
    math(EXPR t "${i} + 1")
    list(GET schema ${t} type)
    string(REPLACE "." ";" path "${path}")
    string(JSON actual ERROR_VARIABLE error TYPE "${json}" ${path})
    if(error OR NOT actual STREQUAL type)
      fail("${path} is of type '${actual}' (${error}), expected ${type}")
    endif()
  endforeach()
  string(JSON symbols LENGTH "${json}" not_found)
  if(symbols GREATER 0)
    math(EXPR last "${symbols} - 1")
    foreach(i RANGE ${last})
      list(LENGTH symbol_schema n)
      math(EXPR m "${n} - 1")
      foreach(j RANGE 0 ${m} 2)
        list(GET symbol_schema ${j} member)
        math(EXPR t "${j} + 1")
        list(GET symbol_schema ${t} type)
        string(JSON actual ERROR_VARIABLE error TYPE "${json}" not_found ${i} ${member})
        if(error OR NOT actual STREQUAL type)
          fail("not_found ${i} ${member} is of type '${actual}', expected ${type}")
        endif()
      endforeach()
    endforeach()
  endif()
endfunction()

# run_json(NAME INPUT-CASE EXIT ARGS...): runs the driver on a copy of the
# input of INPUT-CASE; sets `json` in the caller.
macro(run_json name input exit)
  set(run ${name})
  file(REMOVE_RECURSE ${SCRATCH}/${name})
  file(COPY ${CASES}/${input}/input/ DESTINATION ${SCRATCH}/${name})
  execute_process(COMMAND ${EMULATOR} ${BATCH} ${ARGN}
    WORKING_DIRECTORY ${SCRATCH}/${name}
    RESULT_VARIABLE code OUTPUT_VARIABLE json ERROR_QUIET)
  if(NOT code STREQUAL "${exit}")
    fail("exit code ${code}, expected ${exit}")
  endif()
  check_schema()
  expect(${exit} exit_code)
endmacro()

run_json(strict_missing strict_reasons 4 --strict --json T)
expect(T program)
expect(T.FOR source file)
expect(fixed source form)
expect(current library_dir chosen_by)
expect(unknown library_set version)
expect(ON strict)
expect(complete end)
expect(4 kinds FI specified)
expect(0 kinds FI needed_by_other_blocks)
expect(3 kinds FI not_found)
expect(0 kinds FD not_found)
expect(GetTickCount not_found 0 symbol)
expect(library-missing not_found 0 reason)
string(JSON type TYPE "${json}" not_found 0 needed_by)
if(NOT type STREQUAL NULL)
  fail("needed_by of a symbol the program names is ${type}, expected null")
endif()
expect(KERNEL32.FI not_found 0 library)
expect(listed-without-block not_found 1 reason)
expect("not translated: variable argument list" not_found 1 detail)
expect(no-block not_found 2 reason)
expect(GDI32.FI missing_library_files 0)
string(JSON files LENGTH "${json}" files_written)
if(NOT files EQUAL 5)
  fail("${files} files written, expected 5")
endif()

run_json(ended_early version_line 2 --json P)
expect(4.0 library_set version)
expect("generator 4.0, mingw-w64 headers 10.0.0" library_set details)
expect(OFF strict)
expect(not-opened end)
expect(MASTERFI.LIS ended_on file)
string(JSON files LENGTH "${json}" files_written)
if(NOT files EQUAL 0)
  fail("${files} files written, expected none")
endif()
