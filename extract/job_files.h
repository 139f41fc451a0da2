// The names of the files of one job, derived from the program name.
#pragma once

#include <cstdint>

#include "records/fixed_text.h"

namespace pk {

constexpr int32_t PROGRAM_NAME_LENGTH = 30;
// The longest name plus "." and a three-letter extension: every program name
// keeps its whole extension.
constexpr int32_t JOB_FILE_NAME_LENGTH = PROGRAM_NAME_LENGTH + 4;

using JobFileName = FixedText<JOB_FILE_NAME_LENGTH>;

struct JobFiles {
  JobFileName sourceName;  // NAME.FOR
  JobFileName usedFiName;  // NAME.FIH
  JobFileName usedFdName;  // NAME.FDH
  JobFileName fiOutName;   // NAME.FI
  JobFileName fdOutName;   // NAME.FD
  JobFileName reportName;  // NAME.PRE
};

// The names of the current job; blank until MakeJobFiles runs.
extern JobFiles jobFiles;

// One more than the length of the program name (1 to 31); 0 until
// MakeJobFiles runs. The main window's caption reads it.
extern int32_t nameEnd;

// Number of characters before the first NUL of the 30-character field, or 30.
int32_t ProgramNameLength(const char* programName);

// Sets nameEnd and fills all six names of jobFiles: the name as given (no
// case change), ".", the extension, blanks after. Cannot fail.
void MakeJobFiles(const char* programName);

}  // namespace pk
