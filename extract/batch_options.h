// The command line of pareskit-batch: [OPTIONS] NAME.
#pragma once

#include <cstdint>

namespace pk {

enum class BatchAction {
  RUN,      // run the job for `programName`
  HELP,     // --help: print the usage on standard output
  VERSION,  // --version: print the version
  USAGE,    // the words are wrong: `problem` says how
};

struct BatchOptions {
  BatchAction action;
  const char* programName;       // RUN: NAME, 1 to PROGRAM_NAME_LENGTH characters
  const char* libraryDirectory;  // --library-dir DIR; nullptr when not given
  bool freeForm;                 // --free-form
  const char* problem;           // USAGE: what is wrong, a static text
  const char* problemWord;       // USAGE: the word it is about, or nullptr
};

// Reads the words after the program's own (argv[1] to argv[argc - 1]).
// Options may stand before or after NAME; "--" ends the options, so a NAME
// that starts with "-" follows it. --help or --version anywhere wins over
// everything else (the first of them). Any other word starting with "-" but
// "-" itself is an unknown option. Exactly one NAME of 1 to
// PROGRAM_NAME_LENGTH characters; --library-dir needs a directory that is
// not empty, given once. Never fails otherwise: the result is always one of
// the actions, the pointers pointing into argv.
BatchOptions ParseBatchOptions(int argc, const char* const* argv);

}  // namespace pk
