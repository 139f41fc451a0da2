// pareskit-batch [OPTIONS] NAME: runs the extraction job for NAME in the
// current directory, as the main window does after the form, with the
// library files found as --help tells, and tells the outcome through the exit
// code: 0 complete; 3 complete, but a file failed on the way (one line on
// standard error per such file); 4 with --strict, complete, but a symbol or
// a library file is missing (one line on standard error for each); 2 ended
// early (those lines, then one for the end); 64 usage; 1 when standard
// output cannot be written, and the record layer itself exits with 1 on a
// run-time error (after the --json summary of the job so far). With --show
// it prints what the job would copy for each SYMBOL instead: 0 when each was
// shown, 4 when one was not.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "batch/batch_help.inc"
#include "batch/batch_options.h"
#include "batch/batch_setup.h"
#include "batch/batch_summary.h"
#include "batch/symbol_show.h"
#include "extract/job.h"

namespace {

using pk::EXIT_COMPLETE;
using pk::EXIT_DEGRADED;
using pk::EXIT_ENDED_EARLY;
using pk::EXIT_FATAL;
using pk::EXIT_MISSING;
using pk::EXIT_USAGE;

// Said after a failure in the library directory when $PARESKIT_LIBRARY_DIR
// chose it; "" otherwise.
const char* libraryNote = "";

void PrintUsage(std::FILE* stream) {
  std::fwrite(HELP_TEXT, 1, USAGE_LENGTH, stream);
}

// Ends the output of --help, --version, --print-library-dir and --json:
// returns `code`, or EXIT_FATAL when standard output could not be written
// (a full disk, a closed pipe), `written` false saying so already.
int FinishOutput(int code, bool written = true) {
  if (written && std::fflush(stdout) == 0 && !std::ferror(stdout)) return code;
  std::fprintf(stderr, "pareskit-batch: cannot write standard output\n");
  return EXIT_FATAL;
}

int UsageError(const char* problem, const char* word) {
  if (word != nullptr) {
    std::fprintf(stderr, "pareskit-batch: %s: %s\n", problem, word);
  } else {
    std::fprintf(stderr, "pareskit-batch: %s\n", problem);
  }
  PrintUsage(stderr);
  return EXIT_USAGE;
}

void PrintFailure(const char* verb, const pk::JobFileName& file, bool inLibraryDirectory,
                  const pk::LibraryDirectory& directory, pk::IoStatus reason,
                  bool incomplete = false) {
  pk::FilePath path;
  const int length = pk::PathOf(file, inLibraryDirectory, directory, path);
  std::fprintf(stderr, "pareskit-batch: cannot %s %.*s: %s%s%s\n", verb, length, path.chars,
               pk::IoStatusText(reason),
               incomplete ? "; the file is left incomplete and may end inside a line" : "",
               inLibraryDirectory ? libraryNote : "");
}

// Tells on standard error how the job ended; returns the exit code, not
// counting what --strict adds.
int TellOutcome(const pk::JobOutcome& outcome, const char* programName,
                const pk::LibraryDirectory& directory) {
  for (int32_t i = 0; i < outcome.faults.count; ++i) {
    const pk::FileFault& fault = outcome.faults.faults[i];
    PrintFailure(fault.operation == pk::FileOperation::READ ? "read" : "write", fault.file,
                 fault.inLibraryDirectory, directory, fault.reason);
  }
  const bool nameLeft = outcome.lockNameLeftReason != pk::IO_OK;
  if (nameLeft) {
    std::fprintf(stderr,
                 "pareskit-batch: cannot remove %s, the name the lock made %s.PRE under: %s\n",
                 outcome.lockNameLeft, programName, pk::IoStatusText(outcome.lockNameLeftReason));
  }
  pk::FilePath path;
  const int length = pk::PathOf(outcome.file, outcome.inLibraryDirectory, directory, path);
  switch (outcome.end) {
    case pk::JobEnd::COMPLETE:
      return outcome.faults.count == 0 && !nameLeft ? EXIT_COMPLETE : EXIT_DEGRADED;
    case pk::JobEnd::NOT_OPENED:
      PrintFailure("open", outcome.file, outcome.inLibraryDirectory, directory, outcome.reason);
      break;
    case pk::JobEnd::NOT_READ:
      PrintFailure("read", outcome.file, outcome.inLibraryDirectory, directory, outcome.reason);
      break;
    case pk::JobEnd::NOT_WRITTEN:
      PrintFailure("write", outcome.file, outcome.inLibraryDirectory, directory, outcome.reason,
                   outcome.fileIncomplete);
      break;
    case pk::JobEnd::LIBRARY_NAME:
      std::fprintf(stderr,
                   "pareskit-batch: %.*s is a library file; choose a program name that is not "
                   "a library name\n",
                   length, path.chars);
      break;
    case pk::JobEnd::LOCKED:
      std::fprintf(stderr,
                   "pareskit-batch: another job for %s is running here (%.*s is locked); "
                   "nothing was written\n",
                   programName, length, path.chars);
      break;
    case pk::JobEnd::SAME_FILE: {
      pk::FilePath other;
      const int otherLength =
          pk::PathOf(outcome.sameFile, outcome.sameFileInLibraryDirectory, directory, other);
      std::fprintf(stderr, "pareskit-batch: %.*s is the same file as %.*s; nothing was written\n",
                   length, path.chars, otherLength, other.chars);
      break;
    }
  }
  return EXIT_ENDED_EARLY;
}

int PrintVersion(const pk::LibraryDirectory& directory) {
  const pk::LibrarySetVersion version = pk::ReadLibrarySetVersion(directory);
  std::printf("pareskit-batch %s\n", PK_VERSION);
  if (version.known) {
    std::printf("library set %s (%s)\n", version.version, version.details);
  } else {
    std::printf("library set unknown\n");
  }
  return FinishOutput(EXIT_COMPLETE);
}

int PrintLibraryDirectory(const pk::LibraryDirectoryChoice& library,
                          const pk::LibraryDirectory& directory) {
  const pk::LibrarySetVersion version = pk::ReadLibrarySetVersion(directory);
  std::printf("%s\nchosen by: %s\nlibrary set: %s\n", library.length == 0 ? "." : library.chars,
              pk::ChosenByText(library.source), version.version);
  return FinishOutput(EXIT_COMPLETE);
}

int ShowSymbols(const pk::BatchOptions& options, const pk::LibraryDirectory& directory) {
  const pk::ShowRequest request = {options.showSymbols, options.showSymbolCount, directory,
                                   libraryNote};
  const int32_t notShown = pk::ShowSymbols(request, stdout, stderr);
  return FinishOutput(notShown == 0 ? EXIT_COMPLETE : EXIT_MISSING);
}

// What the job of `options` missed; in static storage, being large.
pk::MissingSymbols missing;

// The summary of --json, made ready before the job: a run-time error that
// ends the process during the job is told in it too.
pk::BatchSummary jsonSummary;

// Writes the summary of the job a run-time error ends, as far as it came.
void TellFatalEnd(pk::IoStatus status, const char* request, const char* name, int32_t nameLength) {
  const pk::FatalEnd fatal = {status, std::strcmp(request, "CLOSE") == 0, name, nameLength};
  jsonSummary.outcome = &pk::JobOutcomeSoFar();
  jsonSummary.exitCode = EXIT_FATAL;
  jsonSummary.fatal = &fatal;
  pk::WriteJsonSummary(jsonSummary);
}

int RunBatchJob(const pk::BatchOptions& options, const pk::LibraryDirectoryChoice& library,
                const pk::LibraryDirectory& directory) {
  // The field the form fills: the name, then NULs (one spare byte after 30).
  char programName[pk::PROGRAM_NAME_LENGTH + 1] = {};
  std::memcpy(programName, options.programName, static_cast<size_t>(options.programNameLength));
  pk::SourceChoice source =
      pk::ChooseSource(programName, options.freeForm, pk::FileOpensForReading);
  if (options.sourceExtension != nullptr) {
    source.form =
        options.sourceFree || options.freeForm ? pk::SourceForm::FREE : pk::SourceForm::FIXED;
    std::memcpy(source.extension, options.sourceExtension, sizeof source.extension);
  }
  const pk::JobObserver observer = pk::ObserveMissingSymbols(missing);
  pk::JobSettings settings = {source.form, {}, directory.chars, directory.length, &observer};
  std::memcpy(settings.sourceExtension, source.extension, sizeof settings.sourceExtension);
  const pk::JobFiles files = pk::MakeJobFiles(pk::ProgramNameOf(programName), source.extension);
  pk::LibrarySetVersion version = {};
  if (options.json) {
    version = pk::ReadLibrarySetVersion(directory);
    jsonSummary = {&files,  source.form, &library,   &version, options.strict,
                   nullptr, &missing,    EXIT_FATAL, nullptr};
    pk::WatchRunTimeErrors(TellFatalEnd);
  }

  const pk::JobOutcome outcome = pk::RunJob(programName, settings);
  pk::WatchRunTimeErrors(nullptr);
  int exitCode = TellOutcome(outcome, programName, directory);
  if (!options.strict && !options.json) return exitCode;
  pk::ExplainMissingSymbols(missing, outcome.faults, directory);
  if (options.strict && outcome.end == pk::JobEnd::COMPLETE && pk::AnythingMissing(missing)) {
    pk::TellMissing(stderr, missing, files, directory);
    exitCode = EXIT_MISSING;
  }
  if (!options.json) return exitCode;
  jsonSummary.outcome = &outcome;
  jsonSummary.exitCode = exitCode;
  return FinishOutput(exitCode, pk::WriteJsonSummary(jsonSummary));
}

}  // namespace

int main(int argc, char** argv) {
  const pk::BatchOptions options = pk::ParseBatchOptions(argc, argv, pk::TakesWindowsHelpWords());
  switch (options.action) {
    case pk::BatchAction::HELP:
      std::fputs(HELP_TEXT, stdout);
      return FinishOutput(EXIT_COMPLETE);
    case pk::BatchAction::USAGE:
      return UsageError(options.problem, options.problemWord);
    default:
      break;
  }

  static char executableDirectory[pk::MAX_FILE_NAME + 1];
  const bool executableKnown = pk::ExecutableDirectory(
      executableDirectory, static_cast<int32_t>(sizeof executableDirectory));
  const pk::LibraryDirectoryChoice library = pk::ChooseLibraryDirectory(
      options.libraryDirectory, std::getenv(pk::LIBRARY_DIR_VARIABLE),
      executableKnown ? executableDirectory : nullptr, pk::HoldsMasterList);
  if (library.tooLong) {
    std::fprintf(stderr,
                 "pareskit-batch: the library directory of %s has more than %d characters\n",
                 pk::ChosenByText(library.source), static_cast<int>(pk::LIBRARY_DIRECTORY_LENGTH));
    PrintUsage(stderr);
    return EXIT_USAGE;
  }
  if (library.source == pk::LibraryDirectorySource::ENVIRONMENT) {
    libraryNote = " (the library directory comes from $PARESKIT_LIBRARY_DIR)";
  }
  const pk::LibraryDirectory directory = {library.chars, library.length};
  switch (options.action) {
    case pk::BatchAction::VERSION:
      return PrintVersion(directory);
    case pk::BatchAction::PRINT_LIBRARY_DIR:
      return PrintLibraryDirectory(library, directory);
    case pk::BatchAction::SHOW:
      return ShowSymbols(options, directory);
    default:
      return RunBatchJob(options, library, directory);
  }
}
