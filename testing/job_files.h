// Test support: the files of a job, as written before it runs and as named
// in its outcome.
#pragma once

#include <string>
#include <vector>

#include "extract/job_files.h"

namespace pk::testing {

// One input file of a job: its name and its lines.
struct InputFile {
  std::string name;
  std::vector<std::string> lines;
};

// Writes every file in the current directory, each line ended by CR LF.
void WriteJobInputs(const std::vector<InputFile>& files);

// A job file name field holding `text`, blank padded.
JobFileName JobName(const std::string& text);

// The name in `name` without its trailing blanks.
std::string Trimmed(const JobFileName& name);

}  // namespace pk::testing
