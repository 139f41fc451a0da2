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

// The program name as the job uses it: the `length` characters at `chars`,
// no case change.
struct ProgramName {
  const char* chars;
  int32_t length;
};

// The name in the 30-character program-name field the form fills: the text
// before its first NUL, or all 30 characters. It points into `field`.
ProgramName ProgramNameOf(const char* field);

// The six names for `name`: the name, ".", the extension, blanks after. The
// source takes the three characters of `sourceExtension` ("FOR" for the
// program). Cannot fail.
JobFiles MakeJobFiles(const ProgramName& name, const char* sourceExtension);

}  // namespace pk
