#include "extract/job_files.h"

namespace pk {

ProgramName ProgramNameOf(const char* field) {
  int32_t length = 0;
  while (length < PROGRAM_NAME_LENGTH && field[length] != '\0') ++length;
  return {field, length};
}

namespace {

void BuildName(JobFileName& field, const ProgramName& name, const char* extension) {
  Assign(field.chars, 1, JOB_FILE_NAME_LENGTH, name.chars, 1, name.length);
  field.At(name.length + 1) = '.';
  Assign(field.chars, name.length + 2, name.length + 4, extension, 1, 3);
}

}  // namespace

JobFiles MakeJobFiles(const ProgramName& name, const char* sourceExtension) {
  JobFiles files;
  BuildName(files.usedFdName, name, "FDH");
  BuildName(files.usedFiName, name, "FIH");
  BuildName(files.fiOutName, name, "FI ");
  BuildName(files.fdOutName, name, "FD ");
  BuildName(files.reportName, name, "PRE");
  BuildName(files.sourceName, name, sourceExtension);
  return files;
}

}  // namespace pk
