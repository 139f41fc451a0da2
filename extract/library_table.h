// The two fixed tables of library files, in the order they are searched.
#pragma once

#include <cstdint>

#include "records/fixed_text.h"

namespace pk {

constexpr int32_t LIBRARY_SLOTS = 20;
constexpr int32_t LIBRARY_NAME_LENGTH = 12;

using LibraryName = FixedText<LIBRARY_NAME_LENGTH>;

struct LibraryTable {
  LibraryName fdLibraries[LIBRARY_SLOTS];  // "USER32.FD" ... "ADVAPI32.FD", then blank slots
  LibraryName fiLibraries[LIBRARY_SLOTS];  // "USER32.FI" ... "ADVAPI32.FI", then blank slots
  int32_t libraryCount;                    // 13: the slots in use in each table
};

extern const LibraryTable libraryTable;

// True when the program name (`length` characters) would make NAME.FD or
// NAME.FI the name of a library file in the current directory: its last
// path component, leading blanks ignored, equals a library's base name
// ("USER32" ... "ADVAPI32") in any case, since Windows file names ignore case.
bool IsLibraryProgramName(const char* name, int32_t length);

}  // namespace pk
