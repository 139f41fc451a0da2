// The command line of pareskit-batch: [OPTIONS] NAME, or --show SYMBOL...
#pragma once

#include <cstdint>

namespace pk {

// The most SYMBOLs --show takes at once.
constexpr int32_t MAX_SHOW_SYMBOLS = 64;

enum class BatchAction {
  RUN,                // run the job for `programName`
  HELP,               // --help, -h (and /?, -? where Windows' words are taken)
  VERSION,            // --version: print the versions of the program and the library set
  PRINT_LIBRARY_DIR,  // --print-library-dir: print the library directory chosen and why
  SHOW,               // --show: print what the job would copy for `showSymbols`
  USAGE,              // the words are wrong: `problem` says how
};

struct BatchOptions {
  BatchAction action;
  // RUN: NAME, the word as given; its first `programNameLength` bytes are
  // the program name, followed by "." and `sourceExtension` when the word
  // ends in a source suffix.
  const char* programName;
  int32_t programNameLength;
  const char* sourceExtension;   // the three characters after the "."; nullptr when none
  bool sourceFree;               // sourceExtension names a free-form source
  const char* libraryDirectory;  // --library-dir DIR; nullptr when not given
  bool freeForm;                 // --free-form
  bool strict;                   // --strict
  bool json;                     // --json
  const char* showSymbols[MAX_SHOW_SYMBOLS];  // SHOW: the SYMBOLs, as given
  int32_t showSymbolCount;
  const char* problem;      // USAGE: what is wrong, a static text
  const char* problemWord;  // USAGE: the word it is about, or nullptr
};

// Reads the words after the program's own (argv[1] to argv[argc - 1]).
// Options may stand before or after NAME; "--" ends the options, so a NAME
// that starts with "-" follows it. --help, -h or --version anywhere wins over
// everything else (the first of them); with `windowsHelpWords`, "/?" and
// "-?" are --help too. --print-library-dir needs no NAME (one given is
// checked all the same). With --show, every word that is no option is a
// SYMBOL, 1 to MAX_SHOW_SYMBOLS of them, and only --library-dir may go with
// it. Any other word starting with "-" but "-" itself is
// an unknown option. Exactly one NAME: a word ending in a source suffix
// (".FOR", ".For", ".for", ".f77", ".F77", ".fpp", ".FPP" fixed form;
// ".f90", ".f95", ".f03", ".f08" and the same with "F" free form) names its
// source, the program name being the part before it. The program name has 1
// to PROGRAM_NAME_LENGTH bytes (a character outside ASCII takes 2 to 4 in
// UTF-8) and no directory part ("/", a backslash or ":"). --library-dir needs
// a directory that is not empty, given once. Never fails otherwise: the
// result is always one of the actions, the pointers pointing into argv.
BatchOptions ParseBatchOptions(int argc, const char* const* argv, bool windowsHelpWords = false);

// Whether the command line of this platform takes "/?" and "-?" for --help
// (batch_platform_posix.cpp, batch_platform_win32.cpp).
bool TakesWindowsHelpWords();

// The form of a source named by its three-character extension: sets *free
// and returns true for one of the suffixes ParseBatchOptions takes; false
// for any other.
bool SourceSuffixForm(const char* extension, bool* free);

}  // namespace pk
