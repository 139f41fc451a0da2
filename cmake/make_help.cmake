# Makes the batch driver's help text and its manual page from their one
# source, so that neither can drift from the other.
#   cmake -DSOURCE=batch_help.txt -DHELP=<out.inc> -DMAN=<out.1> -DVERSION=<v> -P make_help.cmake
# HELP: a C++ fragment defining HELP_TEXT (the whole text) and USAGE_LENGTH
# (the bytes of its first paragraph, the usage a usage error prints).
# MAN: the page pareskit-batch(1): NAME, SYNOPSIS (the usage lines), then
# DESCRIPTION (the rest of the first paragraph) and one section per further
# paragraph, headed by the words before its first ":", its options and
# lists as tagged and numbered paragraphs, filled to the reader's width.
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
# roff_text(out text): `text` as roff input: backslashes and hyphens
# escaped, a leading "." or "'" kept from being read as a request.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  if(text MATCHES "^[.']")
    set(text "\\&${text}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# roff_usage(out text): roff_text with the options in bold and the words
# in capitals (NAME, DIR) in italics.
function(roff_usage out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|[ [])(--?[a-z][a-z-]*)" "\\1\\\\fB\\2\\\\fR" text "${text}")
  string(REGEX REPLACE "([A-Z][A-Z]+)" "\\\\fI\\1\\\\fR" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The help text's layout as the page's: the usage lines are the SYNOPSIS,
# the rest of the first paragraph the DESCRIPTION, and every further
# paragraph a section headed by the words before its first ":". In a
# section, a line indented by two blanks starts an item, tagged by its
# text up to a run of blanks ("--strict", "4") or, when it has none, by
# the whole line ("--show SYMBOL..."), or numbered ("1."); a line indented
# further goes on with the item; any other line is text. The formatter
# fills every line to the reader's width.
string(REPLACE ";" "\\;" lines "${text}")
string(REGEX REPLACE "\n$" "" lines "${lines}")
string(REPLACE "\n" ";" lines "${lines}")
set(page ".TH PARESKIT\\-BATCH 1 \"\" \"pareskit\\-batch ${VERSION}\" \"User Commands\"\n")
# Left-adjusted and not hyphenated: file names and options stay whole.
string(APPEND page ".nh\n.ad l\n")
string(APPEND page ".SH NAME\npareskit\\-batch \\- copy the Win32 declarations a Fortran program uses out of library files\n")
set(paragraph 0)
set(first_line TRUE)
set(in_item FALSE)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    math(EXPR paragraph "${paragraph} + 1")
    set(first_line TRUE)
    set(in_item FALSE)
    continue()
  endif()
  if(paragraph EQUAL 0)
    if(line MATCHES "^(usage:)? *pareskit-batch (.*)$")
      roff_usage(arguments "${CMAKE_MATCH_2}")
      if(first_line)
        string(APPEND page ".SH SYNOPSIS\n")
      else()
        string(APPEND page ".br\n")
      endif()
      string(APPEND page ".B pareskit\\-batch\n${arguments}\n")
    else()
      if(NOT in_item)
        string(APPEND page ".SH DESCRIPTION\n")
        set(in_item TRUE)
      endif()
      string(STRIP "${line}" line)
      roff_text(line "${line}")
      string(APPEND page "${line}\n")
    endif()
    set(first_line FALSE)
    continue()
  endif()
  if(first_line)
    if(NOT line MATCHES "^([A-Za-z ]+):(.*)$")
      message(FATAL_ERROR "${SOURCE}: paragraph ${paragraph} has no heading: ${line}")
    endif()
    string(TOUPPER "${CMAKE_MATCH_1}" heading)
    string(STRIP "${CMAKE_MATCH_2}" line)
    string(APPEND page ".SH \"${heading}\"\n")
    set(first_line FALSE)
    if(line STREQUAL "")
      continue()
    endif()
  endif()
  if(line MATCHES "^  ([0-9]+\\.) +(.*)$")
    set(tag "${CMAKE_MATCH_1}")
    roff_text(line "${CMAKE_MATCH_2}")
    string(APPEND page ".IP ${tag} 4\n${line}\n")
    set(in_item TRUE)
  elseif(line MATCHES "^  ([^ ].*)$")
    set(item "${CMAKE_MATCH_1}")
    set(line "")
    if(item MATCHES "^(.*[^ ])  +([^ ].*)$")
      set(item "${CMAKE_MATCH_1}")
      roff_text(line "${CMAKE_MATCH_2}")
    endif()
    roff_usage(item "${item}")
    string(APPEND page ".TP\n${item}\n")
    if(NOT line STREQUAL "")
      string(APPEND page "${line}\n")
    endif()
    set(in_item TRUE)
  else()
    if(in_item AND NOT line MATCHES "^   ")
      string(APPEND page ".PP\n")
      set(in_item FALSE)
    endif()
    string(STRIP "${line}" line)
    roff_text(line "${line}")
    string(APPEND page "${line}\n")
  endif()
endforeach()
file(WRITE "${MAN}" "${page}")
if(GZIP)
  execute_process(COMMAND "${GZIP}" -9n -c "${MAN}" OUTPUT_FILE "${MAN}.gz" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip failed on ${MAN}")
  endif()
endif()
