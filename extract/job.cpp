#include "extract/job.h"

#include "extract/declaration_copy.h"
#include "extract/library_table.h"
#include "extract/master_list.h"
#include "extract/needed_list.h"
#include "extract/report.h"
#include "records/record_file.h"

namespace pk {

namespace {

JobOutcome Ended(JobEnd end, const char* name, int32_t length) {
  JobOutcome outcome;
  outcome.end = end;
  AssignText(outcome.file, name, length);
  outcome.reason = end == JobEnd::COMPLETE || end == JobEnd::LIBRARY_NAME ? IO_OK : stepFailure;
  outcome.inLibraryDirectory = false;
  return outcome;
}

JobOutcome Ended(JobEnd end, const JobFileName& name) {
  return Ended(end, name.chars, JOB_FILE_NAME_LENGTH);
}

JobOutcome EndedOnMasterList(JobEnd end, const char* masterName, int32_t masterLength) {
  JobOutcome outcome = Ended(end, masterName, masterLength);
  outcome.inLibraryDirectory = true;
  return outcome;
}

// The scan of one kind: its master list, then the source into its used list.
JobOutcome ScanKind(const char* masterName, int32_t masterLength, const JobFileName& usedName,
                    SourceForm form) {
  FilePath masterPath;
  LibraryFilePath(masterName, masterLength, masterPath);
  switch (LoadMasterList(masterPath.chars, MAX_FILE_NAME)) {
    case StepOutcome::DONE:
      break;
    case StepOutcome::INPUT_READ_FAILED:
      return EndedOnMasterList(JobEnd::NOT_READ, masterName, masterLength);
    default:
      return EndedOnMasterList(JobEnd::NOT_OPENED, masterName, masterLength);
  }
  switch (ScanSource(jobFiles.sourceName, usedName, LookUpIdentifier, form)) {
    case StepOutcome::DONE:
      return Ended(JobEnd::COMPLETE, "", 0);
    case StepOutcome::INPUT_NOT_OPENED:
      return Ended(JobEnd::NOT_OPENED, jobFiles.sourceName);
    case StepOutcome::INPUT_READ_FAILED:
      return Ended(JobEnd::NOT_READ, jobFiles.sourceName);
    case StepOutcome::OUTPUT_NOT_OPENED:
      return Ended(JobEnd::NOT_OPENED, usedName);
    case StepOutcome::OUTPUT_WRITE_FAILED:
      break;
  }
  return Ended(JobEnd::NOT_WRITTEN, usedName);
}

// The copying and report section of one kind.
JobOutcome CopyKind(const JobFileName& usedName, const LibraryName* libraries,
                    const JobFileName& outName, const char* kindText) {
  switch (LoadNeededList(usedName)) {
    case StepOutcome::DONE:
      break;
    case StepOutcome::INPUT_READ_FAILED:
      return Ended(JobEnd::NOT_READ, usedName);
    default:
      return Ended(JobEnd::NOT_OPENED, usedName);
  }
  if (CopyDeclarations(libraries, outName, FindNeededWord) != StepOutcome::DONE) {
    return Ended(JobEnd::NOT_OPENED, outName);
  }
  WriteReport(kindText);
  return Ended(JobEnd::COMPLETE, "", 0);
}

}  // namespace

JobOutcome RunJob(const char* programName, const JobSettings& settings) {
  MakeJobFiles(programName);
  Assign(jobFiles.sourceName.chars, nameEnd + 1, nameEnd + 3, settings.sourceExtension, 1, 3);
  if (!SetLibraryDirectory(settings.libraryDirectory, settings.libraryDirectoryLength)) {
    stepFailure = IO_INVALID_REQUEST;
    return EndedOnMasterList(JobEnd::NOT_OPENED, MASTER_FI_NAME, sizeof MASTER_FI_NAME - 1);
  }
  if (IsLibraryProgramName(programName, nameEnd - 1)) {
    return Ended(JobEnd::LIBRARY_NAME, jobFiles.fdOutName);
  }
  JobOutcome outcome =
      ScanKind(MASTER_FI_NAME, sizeof MASTER_FI_NAME - 1, jobFiles.usedFiName, settings.sourceForm);
  if (outcome.end != JobEnd::COMPLETE) return outcome;
  outcome =
      ScanKind(MASTER_FD_NAME, sizeof MASTER_FD_NAME - 1, jobFiles.usedFdName, settings.sourceForm);
  if (outcome.end != JobEnd::COMPLETE) return outcome;

  OpenFileOrDie(UNIT_REPORT, jobFiles.reportName.chars, JOB_FILE_NAME_LENGTH, OpenStatus::REPLACE);
  outcome =
      CopyKind(jobFiles.usedFdName, libraryTable.fdLibraries, jobFiles.fdOutName, FD_KIND_TEXT);
  if (outcome.end == JobEnd::COMPLETE) {
    outcome =
        CopyKind(jobFiles.usedFiName, libraryTable.fiLibraries, jobFiles.fiOutName, FI_KIND_TEXT);
  }
  CloseFile(UNIT_REPORT);
  return outcome;
}

JobOutcome RunJob(const char* programName) {
  return RunJob(programName, PROGRAM_JOB_SETTINGS);
}

}  // namespace pk
