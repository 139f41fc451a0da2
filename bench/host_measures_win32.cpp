// Host measures on Win32: CreateFileA/ReadFile/CloseHandle and the process's
// peak working set.
#include <windows.h>
// <psapi.h> needs the types of <windows.h>.
#include <psapi.h>

#include "bench/host_measures.h"

namespace pk {

namespace {

char plainBuffer[PLAIN_READ_SIZE];

}  // namespace

int64_t ReadFilesPlainly(const std::vector<std::string>& paths) {
  int64_t total = 0;
  for (const std::string& path : paths) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD got = 0;
    BOOL read;
    while ((read = ReadFile(file, plainBuffer, sizeof plainBuffer, &got, nullptr)) && got != 0) {
      total += got;
    }
    CloseHandle(file);
    if (!read) return -1;
  }
  return total;
}

int64_t PeakMemoryKb() {
  PROCESS_MEMORY_COUNTERS counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<int64_t>(counters.PeakWorkingSetSize / 1024);
}

}  // namespace pk
