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
  JobFileName sourceName;  // NAME.FOR (or the extension the job was given)
  JobFileName usedFiName;  // NAME.FIH
  JobFileName usedFdName;  // NAME.FDH
  JobFileName fiOutName;   // NAME.FI
  JobFileName fdOutName;   // NAME.FD
  JobFileName reportName;  // NAME.PRE
};

// Number of characters before the first NUL of the 30-character field, or 30.
int32_t ProgramNameLength(const char* programName);

// The six names for the 30-character program-name field: the name as given
// (ProgramNameLength characters, no case change), ".", the extension, blanks
// after. The source takes the three characters of `sourceExtension` ("FOR"
// for the program). Cannot fail.
JobFiles MakeJobFiles(const char* programName, const char* sourceExtension);

}  // namespace pk
