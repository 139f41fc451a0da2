#include "extract/job_files.h"

namespace pk {

int32_t ProgramNameLength(const char* programName) {
  int32_t length = 0;
  while (length < PROGRAM_NAME_LENGTH && programName[length] != '\0') ++length;
  return length;
}

namespace {

void BuildName(JobFileName& field, const char* programName, int32_t length, const char* extension) {
  Assign(field.chars, 1, JOB_FILE_NAME_LENGTH, programName, 1, length);
  field.At(length + 1) = '.';
  Assign(field.chars, length + 2, length + 4, extension, 1, 3);
}

}  // namespace

JobFiles MakeJobFiles(const char* programName, const char* sourceExtension) {
  const int32_t length = ProgramNameLength(programName);
  JobFiles files;
  BuildName(files.usedFdName, programName, length, "FDH");
  BuildName(files.usedFiName, programName, length, "FIH");
  BuildName(files.fiOutName, programName, length, "FI ");
  BuildName(files.fdOutName, programName, length, "FD ");
  BuildName(files.reportName, programName, length, "PRE");
  BuildName(files.sourceName, programName, length, sourceExtension);
  return files;
}

}  // namespace pk
