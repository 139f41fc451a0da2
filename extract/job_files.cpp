#include "extract/job_files.h"

namespace pk {

JobFiles jobFiles;
int32_t nameEnd = 0;

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

void MakeJobFiles(const char* programName) {
  const int32_t length = ProgramNameLength(programName);
  nameEnd = length + 1;
  BuildName(jobFiles.usedFdName, programName, length, "FDH");
  BuildName(jobFiles.usedFiName, programName, length, "FIH");
  BuildName(jobFiles.fiOutName, programName, length, "FI ");
  BuildName(jobFiles.fdOutName, programName, length, "FD ");
  BuildName(jobFiles.reportName, programName, length, "PRE");
  BuildName(jobFiles.sourceName, programName, length, "FOR");
}

}  // namespace pk
