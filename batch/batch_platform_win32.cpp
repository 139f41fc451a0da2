#include <cstdio>

#include "batch/batch_options.h"
#include "batch/batch_summary.h"

namespace pk {

// Windows' programs answer "/?" (and often "-?") with their usage.
bool TakesWindowsHelpWords() {
  return true;
}

// No signal interrupts a write on Windows: the C library's stream writes the
// summary, its text mode ending each line in CR LF as the console expects.
bool WriteStandardOutput(const char* bytes, int32_t count) {
  const size_t length = static_cast<size_t>(count);
  return std::fwrite(bytes, 1, length, stdout) == length && std::fflush(stdout) == 0;
}

}  // namespace pk
