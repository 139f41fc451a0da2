#include "testing/job_files.h"

#include "testing/files.h"

namespace pk::testing {

void WriteJobInputs(const std::vector<InputFile>& files) {
  for (const InputFile& file : files) WriteWholeFile(file.name, CrLf(file.lines));
}

JobFileName JobName(const std::string& text) {
  JobFileName name;
  AssignText(name, text.data(), static_cast<int32_t>(text.size()));
  return name;
}

std::string Trimmed(const JobFileName& name) {
  return std::string(name.chars,
                     static_cast<size_t>(TrimmedLength(name.chars, JOB_FILE_NAME_LENGTH)));
}

}  // namespace pk::testing
