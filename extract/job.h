// The extraction job: from a program name to NAME.FIH, NAME.FDH, NAME.FD,
// NAME.FI and the report NAME.PRE, all in the current directory.
#pragma once

#include <cstdint>

namespace pk {

constexpr int32_t PROGRAM_NAME_LENGTH = 30;

// Runs the whole job for the 30-character program-name field (the name is the
// text before its first NUL, or all 30 characters). Returns when the job is
// complete or has ended early.
void RunJob(const char* programName);

}  // namespace pk
