// pareskit-batch NAME: runs the extraction job for NAME in the current
// directory, as the main window does after the form, and tells the outcome
// through the exit code: 0 complete, 2 ended early (one line on standard
// error), 64 usage; the record layer itself exits with 1 on a run-time error.
#include <cstdio>
#include <cstring>

#include "extract/job.h"

namespace {

constexpr int EXIT_COMPLETE = 0;
constexpr int EXIT_ENDED_EARLY = 2;
constexpr int EXIT_USAGE = 64;

int Usage() {
  std::fprintf(stderr,
               "usage: pareskit-batch NAME\n"
               "  Reads NAME.FOR, the master lists and the library files in the current\n"
               "  directory and writes NAME.FIH, NAME.FDH, NAME.FD, NAME.FI and NAME.PRE.\n"
               "  NAME has 1 to %d characters.\n",
               static_cast<int>(pk::PROGRAM_NAME_LENGTH));
  return EXIT_USAGE;
}

// The file name without its trailing blanks.
int TrimmedLength(const pk::JobFileName& name) {
  int length = pk::JOB_FILE_NAME_LENGTH;
  while (length > 0 && name.chars[length - 1] == ' ') --length;
  return length;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Usage();
  const size_t length = std::strlen(argv[1]);
  if (length == 0 || length > static_cast<size_t>(pk::PROGRAM_NAME_LENGTH)) return Usage();

  // The field the form fills: the name, then NULs (one spare byte after 30).
  char programName[pk::PROGRAM_NAME_LENGTH + 1] = {};
  std::memcpy(programName, argv[1], length);

  const pk::JobOutcome outcome = pk::RunJob(programName);
  const int fileLength = TrimmedLength(outcome.file);
  switch (outcome.end) {
    case pk::JobEnd::COMPLETE:
      return EXIT_COMPLETE;
    case pk::JobEnd::NOT_OPENED:
      std::fprintf(stderr, "pareskit-batch: cannot open %.*s\n", fileLength, outcome.file.chars);
      break;
    case pk::JobEnd::NOT_READ:
      std::fprintf(stderr, "pareskit-batch: cannot read %.*s\n", fileLength, outcome.file.chars);
      break;
    case pk::JobEnd::NOT_WRITTEN:
      std::fprintf(stderr, "pareskit-batch: cannot write %.*s\n", fileLength, outcome.file.chars);
      break;
    case pk::JobEnd::LIBRARY_NAME:
      std::fprintf(stderr,
                   "pareskit-batch: %.*s is a library file; choose a program name that is not "
                   "a library name\n",
                   fileLength, outcome.file.chars);
      break;
  }
  return EXIT_ENDED_EARLY;
}
