// The two fixed tables of library files, in the order they are searched, and
// the names of files in the directory they are read from.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "records/fixed_text.h"
#include "records/record_file.h"

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

// The longest library directory: with a separator and the longest library
// or master-list name it still makes a name OpenFile takes whole.
constexpr int32_t LIBRARY_DIRECTORY_LENGTH = MAX_FILE_NAME - 1 - LIBRARY_NAME_LENGTH;

// A file name with its directory prefix, blank padded.
using FilePath = FixedText<MAX_FILE_NAME>;

// Where the master lists and the library files are read from: the `length`
// characters at `chars` (at most LIBRARY_DIRECTORY_LENGTH); 0 for the
// current directory.
struct LibraryDirectory {
  const char* chars;
  int32_t length;
};

constexpr LibraryDirectory CURRENT_DIRECTORY = {"", 0};

// Sets `path` to the file `name` (`length` characters, trailing blanks
// ignored) in `directory`: the directory, a "/" unless it ends with "/" or a
// backslash, the name, then blanks. With the current directory the path is
// the name itself.
void LibraryFilePath(const LibraryDirectory& directory, const char* name, int32_t length,
                     FilePath& path);

// True when `name` would make NAME.FD or NAME.FI the name of a library file
// in the current directory: its last path component, leading blanks
// ignored, equals a library's base name ("USER32" ... "ADVAPI32") in any
// case, since Windows file names ignore case.
bool IsLibraryProgramName(const ProgramName& name);

}  // namespace pk
