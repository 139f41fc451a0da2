// Where pareskit-batch finds the source and the library files of a job.
#pragma once

#include <cstdint>

#include "extract/library_table.h"
#include "extract/source_scan.h"

namespace pk {

enum class LibraryDirectorySource {
  OPTION,            // --library-dir DIR
  CURRENT,           // the current directory, which holds a master list
  ENVIRONMENT,       // $PARESKIT_LIBRARY_DIR
  EXECUTABLE,        // the executable's directory, which holds a master list
  INSTALLED,         // <executable's directory>/../share/pareskit
  CURRENT_FALLBACK,  // the current directory, as nothing else applies
};

struct LibraryDirectoryChoice {
  LibraryDirectorySource source;
  bool tooLong;  // the chosen directory has more than LIBRARY_DIRECTORY_LENGTH characters
  char chars[LIBRARY_DIRECTORY_LENGTH + 1];  // the directory, NUL-terminated ("" when tooLong)
  int32_t length;
};

// True when the directory (`length` characters, "" for the current one)
// holds MASTERFI.LIS or MASTERFD.LIS.
using DirectoryProbe = bool (*)(const char* directory, int32_t length);

// The library directory: the first of
//   1. `option` when not nullptr;
//   2. the current directory when `holdsMasterList` says it holds a list;
//   3. `environment` when not nullptr and not empty;
//   4. `executableDirectory` when not nullptr and it holds a list;
//   5. `executableDirectory` + "/../share/pareskit" when not nullptr;
//   6. the current directory.
// Only the directories of 2 and 4 are probed. Strings are NUL-terminated.
LibraryDirectoryChoice ChooseLibraryDirectory(const char* option, const char* environment,
                                              const char* executableDirectory,
                                              DirectoryProbe holdsMasterList);

// The probe of the file system, through the record layer: a master list
// opens for reading (its close may fail). A directory longer than
// LIBRARY_DIRECTORY_LENGTH holds none.
bool HoldsMasterList(const char* directory, int32_t length);

// Stores the directory of the running executable (its path up to the last
// "/" or backslash; "/" itself for a program in the root) in `buffer`
// (`capacity` bytes, NUL-terminated) and returns true; false, with `buffer`
// undefined, when the system does not tell the path or it does not fit.
bool ExecutableDirectory(char* buffer, int32_t capacity);

struct SourceChoice {
  SourceForm form;
  char extension[3];  // the source is NAME.<extension>
};

// True when the file `name` (NUL-terminated) exists and opens for reading.
using FileProbe = bool (*)(const char* name);

// The source of program `programName` (NUL-terminated, 1 to
// PROGRAM_NAME_LENGTH characters). The free-form sources are, in this order,
// NAME.f90, .F90, .f95, .F95, .f03, .F03, .f08 and .F08. With `freeForm`: the
// first of them that exists, else NAME.f90. Without it: NAME.FOR, fixed form,
// when it exists; else the first free-form source that exists; else
// NAME.FOR. A source chosen though it does not exist ends the job on it.
SourceChoice ChooseSource(const char* programName, bool freeForm, FileProbe exists);

// The probe of the file system, through the record layer (the file's close
// may fail).
bool FileOpensForReading(const char* name);

}  // namespace pk

namespace pk {

// The version of a library set: the line "C     Library set VERSION
// (DETAILS)" among the opening comment lines of its USER32.FD.
struct LibrarySetVersion {
  bool known;
  char version[LINE_LENGTH + 1];  // NUL-terminated; "unknown" when not known
  char details[LINE_LENGTH + 1];  // DETAILS without the parentheses; "" when not known
};

// Reads the comment lines of USER32.FD in `directory` before its first "C*"
// header on UNIT_INPUT and takes the first version line among them. Not
// known when the file cannot be opened or read, or holds no such line before
// its first header. Cannot fail (nor end the process: a failed close of the
// file takes nothing from the line read).
LibrarySetVersion ReadLibrarySetVersion(const LibraryDirectory& directory);

}  // namespace pk
