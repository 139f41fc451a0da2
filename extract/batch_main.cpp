// pareskit-batch [OPTIONS] NAME: runs the extraction job for NAME in the
// current directory, as the main window does after the form, with the
// library files found as --help tells, and tells the outcome through the exit
// code: 0 complete; 3 complete, but a file failed on the way (one line on
// standard error per such file); 2 ended early (those lines, then one for the
// end); 64 usage; the record layer itself exits with 1 on a run-time error.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "extract/batch_options.h"
#include "extract/batch_setup.h"
#include "extract/job.h"

namespace {

constexpr int EXIT_COMPLETE = 0;
constexpr int EXIT_ENDED_EARLY = 2;
constexpr int EXIT_DEGRADED = 3;
constexpr int EXIT_USAGE = 64;

constexpr char LIBRARY_DIR_VARIABLE[] = "PARESKIT_LIBRARY_DIR";

void PrintUsage(std::FILE* stream) {
  std::fprintf(stream,
               "usage: pareskit-batch [OPTIONS] NAME\n"
               "  Reads the source of program NAME and writes NAME.FIH, NAME.FDH, NAME.FD,\n"
               "  NAME.FI and NAME.PRE in the current directory. NAME has 1 to %d characters.\n",
               static_cast<int>(pk::PROGRAM_NAME_LENGTH));
}

void PrintHelp() {
  PrintUsage(stdout);
  std::printf(
      "\n"
      "Options:\n"
      "  --library-dir DIR, --library-dir=DIR\n"
      "                 read the master lists and the library files from DIR only\n"
      "  --free-form    scan the free-form source NAME.f90 (NAME.F90 when only it exists)\n"
      "  --help         print this text and exit\n"
      "  --version      print the version and exit\n"
      "\n"
      "Source: NAME.FOR, fixed form; when it does not exist, NAME.f90 or else NAME.F90,\n"
      "free form. Free form: every column of lines of any length, \"!\" comments,\n"
      "\"&\" continuations.\n"
      "\n"
      "MASTERFI.LIS, MASTERFD.LIS and the library files are read from the first of:\n"
      "  1. DIR of --library-dir;\n"
      "  2. the current directory, when it holds MASTERFI.LIS or MASTERFD.LIS;\n"
      "  3. $%s, when set and not empty;\n"
      "  4. the directory of pareskit-batch, when it holds MASTERFI.LIS or MASTERFD.LIS;\n"
      "  5. <directory of pareskit-batch>/../share/pareskit;\n"
      "  6. the current directory.\n"
      "\n"
      "Exit codes: 0 complete; 3 complete, but a library could not be read to its end or\n"
      "a block or report line could not be written (standard error tells each file and\n"
      "why; the report counts those symbols as not found); 2 the job ended early, e.g.\n"
      "another job for NAME is running (standard error tells the file and why); 1 a fatal\n"
      "file error; 64 a usage error.\n",
      LIBRARY_DIR_VARIABLE);
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

const char* SourceText(pk::LibraryDirectorySource source) {
  switch (source) {
    case pk::LibraryDirectorySource::OPTION:
      return "--library-dir";
    case pk::LibraryDirectorySource::ENVIRONMENT:
      return LIBRARY_DIR_VARIABLE;
    default:
      return "the directory of pareskit-batch";
  }
}

// A file of the job as its messages name it: in the library directory or in
// the current one. Returns the name's length in `path`.
int PathOf(const pk::JobFileName& file, bool inLibraryDirectory, pk::FilePath& path) {
  if (inLibraryDirectory) {
    pk::LibraryFilePath(file.chars, pk::JOB_FILE_NAME_LENGTH, path);
  } else {
    pk::AssignText(path, file.chars, pk::JOB_FILE_NAME_LENGTH);
  }
  return pk::TrimmedLength(path.chars, pk::MAX_FILE_NAME);
}

void PrintFailure(const char* verb, const pk::JobFileName& file, bool inLibraryDirectory,
                  pk::IoStatus reason, bool incomplete = false) {
  pk::FilePath path;
  const int length = PathOf(file, inLibraryDirectory, path);
  std::fprintf(stderr, "pareskit-batch: cannot %s %.*s: %s%s\n", verb, length, path.chars,
               pk::IoStatusText(reason),
               incomplete ? "; the file is left incomplete and may end inside a line" : "");
}

// Tells on standard error how the job ended; returns the exit code.
int TellOutcome(const pk::JobOutcome& outcome, const char* programName) {
  for (int32_t i = 0; i < outcome.faults.count; ++i) {
    const pk::FileFault& fault = outcome.faults.faults[i];
    PrintFailure(fault.operation == pk::FileOperation::READ ? "read" : "write", fault.file,
                 fault.inLibraryDirectory, fault.reason);
  }
  pk::FilePath path;
  const int length = PathOf(outcome.file, outcome.inLibraryDirectory, path);
  switch (outcome.end) {
    case pk::JobEnd::COMPLETE:
      return outcome.faults.count == 0 ? EXIT_COMPLETE : EXIT_DEGRADED;
    case pk::JobEnd::NOT_OPENED:
      PrintFailure("open", outcome.file, outcome.inLibraryDirectory, outcome.reason);
      break;
    case pk::JobEnd::NOT_READ:
      PrintFailure("read", outcome.file, outcome.inLibraryDirectory, outcome.reason);
      break;
    case pk::JobEnd::NOT_WRITTEN:
      PrintFailure("write", outcome.file, outcome.inLibraryDirectory, outcome.reason,
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
      const int otherLength = PathOf(outcome.sameFile, outcome.sameFileInLibraryDirectory, other);
      std::fprintf(stderr, "pareskit-batch: %.*s is the same file as %.*s; nothing was written\n",
                   length, path.chars, otherLength, other.chars);
      break;
    }
  }
  return EXIT_ENDED_EARLY;
}

}  // namespace

int main(int argc, char** argv) {
  const pk::BatchOptions options = pk::ParseBatchOptions(argc, argv);
  switch (options.action) {
    case pk::BatchAction::HELP:
      PrintHelp();
      return EXIT_COMPLETE;
    case pk::BatchAction::VERSION:
      std::printf("pareskit-batch %s\n", PK_VERSION);
      return EXIT_COMPLETE;
    case pk::BatchAction::USAGE:
      return UsageError(options.problem, options.problemWord);
    case pk::BatchAction::RUN:
      break;
  }

  static char executableDirectory[pk::MAX_FILE_NAME + 1];
  const bool executableKnown = pk::ExecutableDirectory(
      executableDirectory, static_cast<int32_t>(sizeof executableDirectory));
  const pk::LibraryDirectoryChoice library = pk::ChooseLibraryDirectory(
      options.libraryDirectory, std::getenv(LIBRARY_DIR_VARIABLE),
      executableKnown ? executableDirectory : nullptr, pk::HoldsMasterList);
  if (library.tooLong) {
    std::fprintf(stderr,
                 "pareskit-batch: the library directory of %s has more than %d characters\n",
                 SourceText(library.source), static_cast<int>(pk::LIBRARY_DIRECTORY_LENGTH));
    PrintUsage(stderr);
    return EXIT_USAGE;
  }
  const pk::SourceChoice source =
      pk::ChooseSource(options.programName, options.freeForm, pk::FileOpensForReading);

  // The field the form fills: the name, then NULs (one spare byte after 30).
  char programName[pk::PROGRAM_NAME_LENGTH + 1] = {};
  std::memcpy(programName, options.programName, std::strlen(options.programName));
  pk::JobSettings settings = {source.form, {}, library.chars, library.length};
  std::memcpy(settings.sourceExtension, source.extension, sizeof settings.sourceExtension);

  return TellOutcome(pk::RunJob(programName, settings), options.programName);
}
