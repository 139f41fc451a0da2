# Makes the batch driver's help text and its manual page from their one
# source, so that neither can drift from the other.
#   cmake -DSOURCE=batch_help.txt -DHELP=<out.inc> -DMAN=<out.1> -DVERSION=<v> -P make_help.cmake
# HELP: a C++ fragment defining HELP_TEXT (the whole text) and USAGE_LENGTH
# (the bytes of its first paragraph, the usage a usage error prints).
# MAN: the page pareskit-batch(1): NAME, SYNOPSIS (the usage line), then
# DESCRIPTION (the rest of the first paragraph) and one section per further
# paragraph, headed by the words before its first ":" and set as --help
# prints it.
file(READ "${SOURCE}" text)
string(FIND "${text}" "\n\n" usage_end)
math(EXPR usage_length "${usage_end} + 1")

# HELP
string(REPLACE "\\" "\\\\" escaped "${text}")
string(REPLACE "\"" "\\\"" escaped "${escaped}")
string(REGEX REPLACE "\n$" "" escaped "${escaped}")
string(REPLACE "\n" "\\n\"\n    \"" escaped "${escaped}")
file(WRITE "${HELP}.tmp"
  "// Made from batch_help.txt by cmake/make_help.cmake; edit that file.\n"
  "constexpr char HELP_TEXT[] =\n    \"${escaped}\\n\";\n"
  "constexpr int USAGE_LENGTH = ${usage_length};\n")
file(COPY_FILE "${HELP}.tmp" "${HELP}" ONLY_IF_DIFFERENT)
file(REMOVE "${HELP}.tmp")

# MAN
function(roff_line out line)
  string(REPLACE "\\" "\\e" line "${line}")
  string(REPLACE "-" "\\-" line "${line}")
  if(line MATCHES "^[.']")
    set(line "\\&${line}")
  endif()
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

string(REPLACE ";" "\\;" lines "${text}")
string(REGEX REPLACE "\n$" "" lines "${lines}")
string(REPLACE "\n" ";" lines "${lines}")
set(page ".TH PARESKIT\\-BATCH 1 \"\" \"pareskit\\-batch ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\npareskit\\-batch \\- copy the Win32 declarations a Fortran program uses out of library files\n")
set(paragraph 0)
set(first_line TRUE)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    if(NOT first_line)
      string(APPEND page ".fi\n")
    endif()
    math(EXPR paragraph "${paragraph} + 1")
    set(first_line TRUE)
    continue()
  endif()
  if(paragraph EQUAL 0 AND first_line)
    string(REGEX REPLACE "^usage: pareskit-batch " "" synopsis "${line}")
    roff_line(synopsis "${synopsis}")
    string(APPEND page ".SH SYNOPSIS\n.B pareskit\\-batch\n${synopsis}\n.SH DESCRIPTION\n.nf\n")
    set(first_line FALSE)
    continue()
  endif()
  if(first_line)
    if(NOT line MATCHES "^([A-Za-z ]+):(.*)$")
      message(FATAL_ERROR "${SOURCE}: paragraph ${paragraph} has no heading: ${line}")
    endif()
    string(TOUPPER "${CMAKE_MATCH_1}" heading)
    string(STRIP "${CMAKE_MATCH_2}" line)
    string(APPEND page ".SH \"${heading}\"\n.nf\n")
    set(first_line FALSE)
    if(line STREQUAL "")
      continue()
    endif()
  endif()
  roff_line(line "${line}")
  string(APPEND page "${line}\n")
endforeach()
if(NOT first_line)
  string(APPEND page ".fi\n")
endif()
file(WRITE "${MAN}" "${page}")
if(GZIP)
  execute_process(COMMAND "${GZIP}" -9n -c "${MAN}" OUTPUT_FILE "${MAN}.gz" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip failed on ${MAN}")
  endif()
endif()
