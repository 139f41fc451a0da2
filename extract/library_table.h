// The two fixed tables of library files, in the order they are searched, and
// the directory the master lists and the library files are read from.
#pragma once

#include <cstdint>

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

struct LibraryDirectory {
  char chars[LIBRARY_DIRECTORY_LENGTH];
  int32_t length;  // 0: the current directory
};

// Where the master lists and the library files are read from; the current
// directory until SetLibraryDirectory names another.
extern LibraryDirectory libraryDirectory;

// Makes the `length` characters at `directory` the library directory ("" for
// the current directory) and returns true; a directory longer than
// LIBRARY_DIRECTORY_LENGTH leaves it unchanged and returns false.
bool SetLibraryDirectory(const char* directory, int32_t length);

// Sets `path` to the file `name` (`length` characters, trailing blanks
// ignored) in `directory` (`directoryLength` characters, at most
// LIBRARY_DIRECTORY_LENGTH; 0 for the current directory): the directory, a
// "/" unless it ends with "/" or a backslash, the name, then blanks. With the
// current directory the path is the name itself.
void DirectoryFilePath(const char* directory, int32_t directoryLength, const char* name,
                       int32_t length, FilePath& path);

// DirectoryFilePath in the library directory.
void LibraryFilePath(const char* name, int32_t length, FilePath& path);

// True when the program name (`length` characters) would make NAME.FD or
// NAME.FI the name of a library file in the current directory: its last
// path component, leading blanks ignored, equals a library's base name
// ("USER32" ... "ADVAPI32") in any case, since Windows file names ignore case.
bool IsLibraryProgramName(const char* name, int32_t length);

}  // namespace pk
