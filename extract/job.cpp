#include "extract/job.h"

#include <initializer_list>

#include "extract/declaration_copy.h"
#include "extract/job_lock.h"
#include "extract/library_table.h"
#include "extract/master_list.h"
#include "extract/needed_list.h"
#include "extract/report.h"
#include "extract/symbol_table.h"
#include "records/file_services.h"
#include "records/record_file.h"

namespace pk {

namespace {

// Sets how the job ended: `end` on `name` (`length` characters), for the
// reason `reason` (IO_OK for the ends that have none).
void EndOn(JobOutcome& outcome, JobEnd end, const char* name, int32_t length, IoStatus reason,
           bool inLibraryDirectory = false) {
  outcome.end = end;
  AssignText(outcome.file, name, length);
  outcome.reason = reason;
  outcome.inLibraryDirectory = inLibraryDirectory;
}

void EndOn(JobOutcome& outcome, JobEnd end, const JobFileName& name, IoStatus reason) {
  EndOn(outcome, end, name.chars, JOB_FILE_NAME_LENGTH, reason);
}

// How the job ends when a step ended `step` (not DONE).
JobEnd EndAfter(StepEnd step) {
  switch (step) {
    case StepEnd::INPUT_READ_FAILED:
      return JobEnd::NOT_READ;
    case StepEnd::OUTPUT_WRITE_FAILED:
    case StepEnd::OUTPUT_NOT_TAKEN_BACK:
      return JobEnd::NOT_WRITTEN;
    default:
      return JobEnd::NOT_OPENED;
  }
}

// Ends the job on `name` after a step ended `step` (not DONE), for the step's
// status.
void EndAfterStep(JobOutcome& outcome, StepOutcome step, const JobFileName& name) {
  EndOn(outcome, EndAfter(step.end), name, step.status);
  outcome.fileIncomplete = step.end == StepEnd::OUTPUT_NOT_TAKEN_BACK;
}

bool IsInputOutcome(StepOutcome step) {
  return step.end == StepEnd::INPUT_NOT_OPENED || step.end == StepEnd::INPUT_READ_FAILED;
}

// The scan of one kind: its master list, then `sourceName` into `usedName`.
// Returns true when it ran to its end; otherwise `outcome` tells the end.
bool ScanKind(JobOutcome& outcome, const LibraryDirectory& directory, const char* masterName,
              int32_t masterLength, const JobFileName& sourceName, const JobFileName& usedName,
              SourceForm form) {
  FilePath masterPath;
  LibraryFilePath(directory, masterName, masterLength, masterPath);
  const StepOutcome loaded = LoadMasterList(masterPath.chars, MAX_FILE_NAME);
  if (loaded.end != StepEnd::DONE) {
    EndOn(outcome, EndAfter(loaded.end), masterName, masterLength, loaded.status, true);
    return false;
  }
  const StepOutcome scanned = ScanSource(sourceName, usedName, LookUpIdentifier, form);
  if (scanned.end != StepEnd::DONE) {
    EndAfterStep(outcome, scanned, IsInputOutcome(scanned) ? sourceName : usedName);
    return false;
  }
  return true;
}

// Tells `observer` (nullptr: nobody) what the copying of `kind` found.
void TellObserver(const JobObserver* observer, SymbolKind kind,
                  const bool (&cutShort)[LIBRARY_SLOTS]) {
  if (observer == nullptr) return;
  observer->kindCopied(observer->context, kind, neededList.neededCount - neededList.addedCount,
                       neededList.addedCount, neededList.remainingCount);
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    if (cutShort[slot]) observer->libraryCutShort(observer->context, kind, slot);
  }
  for (int32_t word = 1; word <= neededList.neededCount; ++word) {
    const char mark = EntryTerminator(word);
    if (mark == MARK_DONE) continue;
    observer->notFound(observer->context, kind, EntryText(word), symbolTable.entryLength[word],
                       EntryRemark(word), EntryRemarkLength(word), mark == MARK_FAILED);
  }
}

// The copying and report section of one kind. Returns true when it ran to
// its end, with the files it went on without in `outcome.faults`; otherwise
// `outcome` tells the end.
bool CopyKind(JobOutcome& outcome, const LibraryDirectory& directory, const JobFiles& files,
              SymbolKind kind, const JobObserver* observer) {
  const bool fd = kind == SymbolKind::FD;
  const JobFileName& usedName = fd ? files.usedFdName : files.usedFiName;
  const JobFileName& outName = fd ? files.fdOutName : files.fiOutName;
  const JobFileName& reportName = files.reportName;
  const LibraryName* libraries = fd ? libraryTable.fdLibraries : libraryTable.fiLibraries;
  const StepOutcome loaded = LoadNeededList(usedName);
  if (loaded.end != StepEnd::DONE) {
    EndAfterStep(outcome, loaded, usedName);
    return false;
  }
  bool cutShort[LIBRARY_SLOTS] = {};
  const StepOutcome copied =
      CopyDeclarations(directory, libraries, outName, FindNeededWord, outcome.faults, cutShort);
  if (copied.end != StepEnd::DONE) {
    EndAfterStep(outcome, copied, outName);
    return false;
  }
  TellObserver(observer, kind, cutShort);
  const StepOutcome reported = WriteReport(fd ? FD_KIND_TEXT : FI_KIND_TEXT);
  switch (reported.end) {
    case StepEnd::DONE:
      return true;
    case StepEnd::OUTPUT_WRITE_FAILED:
      NoteFileFault(outcome.faults, FileOperation::WRITE, reportName.chars, JOB_FILE_NAME_LENGTH,
                    reported.status, false);
      return true;
    default:
      EndAfterStep(outcome, reported, reportName);
      return false;
  }
}

// The name the OS is given for a file of the job: a job file in the current
// directory, or a master list or a library in `directory`.
void OsNameOf(const LibraryDirectory& directory, const char* name, int32_t length,
              bool inLibraryDirectory, char (&osName)[MAX_FILE_NAME + 1]) {
  FilePath path;
  if (inLibraryDirectory) {
    LibraryFilePath(directory, name, length, path);
  } else {
    AssignText(path, name, length);
  }
  OsFileName(path.chars, MAX_FILE_NAME, osName);
}

// One file of the job, for the same-file check.
struct FileOfJob {
  const char* name;
  int32_t length;
  bool inLibraryDirectory;
  bool written;
  bool known;  // its identity was learnt
  FileIdentity identity;
};

// Every file the job writes, then every file it only reads.
constexpr int32_t FILES_OF_JOB = 5 + 3 + 2 * LIBRARY_SLOTS;

// Ends the job, before anything is written, with NOT_OPENED
// (IO_DANGLING_LINK) on the first of its files that is a link leading to no
// file, or with SAME_FILE when a file it writes has the identity of another
// of its files. Returns false then.
bool FilesAreDistinct(JobOutcome& outcome, const JobFiles& files,
                      const LibraryDirectory& directory) {
  FileOfJob filesOfJob[FILES_OF_JOB];
  int32_t count = 0;
  const auto add = [&](const char* name, int32_t length, bool inLibraryDirectory, bool written) {
    filesOfJob[count++] = {name, length, inLibraryDirectory, written, false, {}};
  };
  for (const JobFileName* name : {&files.usedFiName, &files.usedFdName, &files.fiOutName,
                                  &files.fdOutName, &files.reportName}) {
    add(name->chars, JOB_FILE_NAME_LENGTH, false, true);
  }
  add(files.sourceName.chars, JOB_FILE_NAME_LENGTH, false, false);
  add(MASTER_FI_NAME, sizeof MASTER_FI_NAME - 1, true, false);
  add(MASTER_FD_NAME, sizeof MASTER_FD_NAME - 1, true, false);
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    add(libraryTable.fdLibraries[slot].chars, LIBRARY_NAME_LENGTH, true, false);
    add(libraryTable.fiLibraries[slot].chars, LIBRARY_NAME_LENGTH, true, false);
  }
  for (int32_t i = 0; i < count; ++i) {
    FileOfJob& file = filesOfJob[i];
    char osName[MAX_FILE_NAME + 1];
    OsNameOf(directory, file.name, file.length, file.inLibraryDirectory, osName);
    const IoStatus identified = CurrentFileServices().identify(osName, &file.identity);
    // The job would make the file such a link leads to, or read a file it made.
    if (identified == IO_DANGLING_LINK) {
      EndOn(outcome, JobEnd::NOT_OPENED, file.name, file.length, identified,
            file.inLibraryDirectory);
      return false;
    }
    file.known = identified == IO_OK;
  }
  for (int32_t i = 0; i < count; ++i) {
    const FileOfJob& written = filesOfJob[i];
    if (!written.written || !written.known) continue;
    for (int32_t j = 0; j < count; ++j) {
      const FileOfJob& other = filesOfJob[j];
      if (j == i || !other.known || other.identity.volume != written.identity.volume ||
          other.identity.index != written.identity.index) {
        continue;
      }
      EndOn(outcome, JobEnd::SAME_FILE, written.name, written.length, IO_OK);
      AssignText(outcome.sameFile, other.name, other.length);
      outcome.sameFileInLibraryDirectory = other.inLibraryDirectory;
      return false;
    }
  }
  return true;
}

// The phases after the checks: both scans, then, with NAME.PRE open, the
// copying and report of each kind. Once NAME.PRE is open, it is the report
// and the lock's removal no longer applies to it.
void RunPhases(JobOutcome& outcome, const JobFiles& files, const LibraryDirectory& directory,
               const JobSettings& settings) {
  const SourceForm form = settings.sourceForm;
  if (!ScanKind(outcome, directory, MASTER_FI_NAME, sizeof MASTER_FI_NAME - 1, files.sourceName,
                files.usedFiName, form) ||
      !ScanKind(outcome, directory, MASTER_FD_NAME, sizeof MASTER_FD_NAME - 1, files.sourceName,
                files.usedFdName, form)) {
    return;
  }
  OpenFileOrDie(UNIT_REPORT, files.reportName.chars, JOB_FILE_NAME_LENGTH, OpenStatus::REPLACE);
  KeepJobLockFile();
  if (CopyKind(outcome, directory, files, SymbolKind::FD, settings.observer)) {
    CopyKind(outcome, directory, files, SymbolKind::FI, settings.observer);
  }
  CloseFile(UNIT_REPORT);
}

// The outcome of the job running, or of the last one.
JobOutcome currentOutcome;

// The job for `name`, whose files are `files`.
JobOutcome RunJobFor(const ProgramName& name, const JobFiles& files, const JobSettings& settings) {
  JobOutcome& outcome = currentOutcome;
  outcome = {};
  EndOn(outcome, JobEnd::COMPLETE, "", 0, IO_OK);
  const LibraryDirectory directory = {settings.libraryDirectory, settings.libraryDirectoryLength};
  if (directory.length > LIBRARY_DIRECTORY_LENGTH) {
    EndOn(outcome, JobEnd::NOT_OPENED, MASTER_FI_NAME, sizeof MASTER_FI_NAME - 1,
          IO_INVALID_REQUEST, true);
    return outcome;
  }
  if (IsLibraryProgramName(name)) {
    EndOn(outcome, JobEnd::LIBRARY_NAME, files.fdOutName, IO_OK);
    return outcome;
  }
  const IoStatus locked = TakeJobLock(files.reportName);
  if (locked == IO_FILE_LOCKED || locked == IO_DANGLING_LINK) {
    EndOn(outcome, locked == IO_FILE_LOCKED ? JobEnd::LOCKED : JobEnd::NOT_OPENED, files.reportName,
          locked);
  } else {
    if (FilesAreDistinct(outcome, files, directory)) RunPhases(outcome, files, directory, settings);
    ReleaseJobLock();
  }
  outcome.lockNameLeftReason = CurrentFileServices().lockNameLeft(outcome.lockNameLeft);
  return outcome;
}

}  // namespace

JobOutcome RunJob(const char* programName, const JobSettings& settings) {
  const ProgramName name = ProgramNameOf(programName);
  return RunJobFor(name, MakeJobFiles(name, settings.sourceExtension), settings);
}

JobOutcome RunJob(const char* programName) {
  return RunJob(programName, PROGRAM_JOB_SETTINGS);
}

const JobOutcome& JobOutcomeSoFar() {
  return currentOutcome;
}

void RunProgramJob(const char* programName) {
  const ProgramName name = ProgramNameOf(programName);
  const JobFiles files = MakeJobFiles(name, PROGRAM_JOB_SETTINGS.sourceExtension);
  const JobOutcome outcome = RunJobFor(name, files, PROGRAM_JOB_SETTINGS);
  const bool reportRefused =
      outcome.end == JobEnd::NOT_OPENED && TextEqual(outcome.file.chars, JOB_FILE_NAME_LENGTH,
                                                     files.reportName.chars, JOB_FILE_NAME_LENGTH);
  if (outcome.end == JobEnd::LOCKED || reportRefused) {
    EndWithOpenError(outcome.reason, outcome.file.chars, JOB_FILE_NAME_LENGTH);
  }
}

}  // namespace pk
