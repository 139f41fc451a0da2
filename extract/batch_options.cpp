#include "extract/batch_options.h"

#include <cstring>

#include "extract/job_files.h"

namespace pk {

namespace {

constexpr char LIBRARY_DIR_OPTION[] = "--library-dir";
constexpr size_t LIBRARY_DIR_OPTION_LENGTH = sizeof LIBRARY_DIR_OPTION - 1;

BatchOptions Usage(const char* problem, const char* word = nullptr) {
  return {BatchAction::USAGE, nullptr, nullptr, false, problem, word};
}

BatchOptions Only(BatchAction action) {
  return {action, nullptr, nullptr, false, nullptr, nullptr};
}

}  // namespace

BatchOptions ParseBatchOptions(int argc, const char* const* argv) {
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) return Only(BatchAction::HELP);
    if (std::strcmp(argv[i], "--version") == 0) return Only(BatchAction::VERSION);
  }
  BatchOptions options = Only(BatchAction::RUN);
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    if (optionsEnded || word[0] != '-' || word[1] == '\0') {
      if (options.programName != nullptr) return Usage("more than one NAME", word);
      options.programName = word;
      continue;
    }
    if (std::strcmp(word, "--") == 0) {
      optionsEnded = true;
    } else if (std::strcmp(word, "--free-form") == 0) {
      options.freeForm = true;
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
  if (options.programName == nullptr) return Usage("NAME is missing");
  const size_t length = std::strlen(options.programName);
  if (length == 0 || length > static_cast<size_t>(PROGRAM_NAME_LENGTH)) {
    return Usage("NAME must have 1 to 30 characters", options.programName);
  }
  return options;
}

}  // namespace pk
