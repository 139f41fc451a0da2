#include <windows.h>

#include "batch/batch_options.h"
#include "batch/batch_summary.h"

namespace pk {

// Windows' programs answer "/?" (and often "-?") with their usage.
bool TakesWindowsHelpWords() {
  return true;
}

bool WriteStandardOutput(const char* bytes, int32_t count) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
  while (count > 0) {
    DWORD put = 0;
    if (!WriteFile(output, bytes, static_cast<DWORD>(count), &put, nullptr) || put == 0) {
      return false;
    }
    bytes += put;
    count -= static_cast<int32_t>(put);
  }
  return true;
}

}  // namespace pk
