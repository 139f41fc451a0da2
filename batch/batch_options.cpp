#include "batch/batch_options.h"

#include <cstring>

#include "extract/job_files.h"

namespace pk {

namespace {

constexpr char LIBRARY_DIR_OPTION[] = "--library-dir";
constexpr size_t LIBRARY_DIR_OPTION_LENGTH = sizeof LIBRARY_DIR_OPTION - 1;

// The source suffixes, as the Fortran compilers and CMake read them.
constexpr const char* FIXED_SUFFIXES[] = {"FOR", "For", "for", "f77", "F77", "fpp", "FPP"};
constexpr const char* FREE_SUFFIXES[] = {"f90", "F90", "f95", "F95", "f03", "F03", "f08", "F08"};

BatchOptions Only(BatchAction action) {
  BatchOptions options = {};
  options.action = action;
  return options;
}

BatchOptions Usage(const char* problem, const char* word = nullptr) {
  BatchOptions options = Only(BatchAction::USAGE);
  options.problem = problem;
  options.problemWord = word;
  return options;
}

constexpr char SHOW_ALONE[] = "--show takes no option but --library-dir";

// The words of --show: its SYMBOLs, and no option of a job.
BatchOptions CheckedShow(BatchOptions options) {
  if (options.showSymbolCount == 0) return Usage("--show needs a SYMBOL");
  static_assert(MAX_SHOW_SYMBOLS == 64, "the usage error names the limit");
  if (options.showSymbolCount > MAX_SHOW_SYMBOLS) return Usage("--show takes at most 64 SYMBOLs");
  if (options.freeForm || options.strict || options.json) return Usage(SHOW_ALONE);
  options.programName = nullptr;
  return options;
}

bool IsHelpWord(const char* word, bool windowsHelpWords) {
  if (std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0) return true;
  return windowsHelpWords && (std::strcmp(word, "/?") == 0 || std::strcmp(word, "-?") == 0);
}

// Splits NAME into the program name and a source suffix it ends in.
void SplitName(BatchOptions& options) {
  const size_t length = std::strlen(options.programName);
  options.programNameLength = static_cast<int32_t>(length);
  if (length < 4 || options.programName[length - 4] != '.') return;
  const char* extension = options.programName + length - 3;
  if (!SourceSuffixForm(extension, &options.sourceFree)) return;
  options.sourceExtension = extension;
  options.programNameLength -= 4;
}

// The problem of a program name, or nullptr when it has none.
const char* NameProblem(const char* name, int32_t length) {
  if (length == 0 || length > PROGRAM_NAME_LENGTH) {
    return "NAME must have 1 to 30 bytes (a character outside ASCII takes 2 to 4)";
  }
  for (int32_t i = 0; i < length; ++i) {
    if (name[i] == '/' || name[i] == '\\' || name[i] == ':') {
      return "NAME must not name a directory; run pareskit-batch in the program's folder";
    }
  }
  return nullptr;
}

}  // namespace

bool SourceSuffixForm(const char* extension, bool* free) {
  for (const char* suffix : FIXED_SUFFIXES) {
    if (std::strncmp(extension, suffix, 4) == 0) {
      *free = false;
      return true;
    }
  }
  for (const char* suffix : FREE_SUFFIXES) {
    if (std::strncmp(extension, suffix, 4) == 0) {
      *free = true;
      return true;
    }
  }
  return false;
}

BatchOptions ParseBatchOptions(int argc, const char* const* argv, bool windowsHelpWords) {
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (IsHelpWord(argv[i], windowsHelpWords)) return Only(BatchAction::HELP);
    if (std::strcmp(argv[i], "--version") == 0) return Only(BatchAction::VERSION);
  }
  BatchOptions options = Only(BatchAction::RUN);
  bool optionsEnded = false;
  const char* secondName = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    if (optionsEnded || word[0] != '-' || word[1] == '\0') {
      if (options.programName != nullptr && secondName == nullptr) secondName = word;
      if (options.programName == nullptr) options.programName = word;
      if (options.showSymbolCount < MAX_SHOW_SYMBOLS) {
        options.showSymbols[options.showSymbolCount] = word;
      }
      ++options.showSymbolCount;
      continue;
    }
    if (std::strcmp(word, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(word, "--free-form") == 0) {
      options.freeForm = true;
    } else if (std::strcmp(word, "--strict") == 0) {
      options.strict = true;
    } else if (std::strcmp(word, "--json") == 0) {
      options.json = true;
    } else if (std::strcmp(word, "--print-library-dir") == 0) {
      if (options.action == BatchAction::SHOW) return Usage(SHOW_ALONE, word);
      options.action = BatchAction::PRINT_LIBRARY_DIR;
    } else if (std::strcmp(word, "--show") == 0) {
      if (options.action == BatchAction::PRINT_LIBRARY_DIR) return Usage(SHOW_ALONE, word);
      options.action = BatchAction::SHOW;
    } else if (std::strncmp(word, LIBRARY_DIR_OPTION, LIBRARY_DIR_OPTION_LENGTH) == 0 &&
               (word[LIBRARY_DIR_OPTION_LENGTH] == '\0' ||
                word[LIBRARY_DIR_OPTION_LENGTH] == '=')) {
      if (options.libraryDirectory != nullptr) return Usage("--library-dir is given twice", word);
      const char* value = word + LIBRARY_DIR_OPTION_LENGTH;
      if (*value == '=') {
        ++value;
      } else {
        if (i + 1 == argc) return Usage("--library-dir needs a directory");
        value = argv[++i];
      }
      if (*value == '\0') return Usage("--library-dir needs a directory");
      options.libraryDirectory = value;
    } else {
      return Usage("unknown option", word);
    }
  }
  if (options.action == BatchAction::SHOW) return CheckedShow(options);
  if (secondName != nullptr) return Usage("more than one NAME", secondName);
  if (options.programName == nullptr) {
    return options.action == BatchAction::PRINT_LIBRARY_DIR ? options : Usage("NAME is missing");
  }
  SplitName(options);
  const char* problem = NameProblem(options.programName, options.programNameLength);
  if (problem != nullptr) return Usage(problem, options.programName);
  return options;
}

}  // namespace pk
