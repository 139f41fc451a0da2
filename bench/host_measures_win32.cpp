// Host measures on Win32: CreateFileA/ReadFile/CloseHandle and the process's
// peak working set.
#include <windows.h>
// <psapi.h> needs the types of <windows.h>.
#include <psapi.h>

#include "bench/host_measures.h"

namespace pk {

int64_t ReadFilePlainly(const std::string& path, char* buffer, int32_t size) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  int64_t total = 0;
  DWORD got = 0;
  BOOL read;
  while ((read = ReadFile(file, buffer, static_cast<DWORD>(size), &got, nullptr)) && got != 0) {
    total += got;
  }
  CloseHandle(file);
  return read ? total : -1;
}

double TimeCatPipeline(const std::vector<std::string>&) {
  return -1;
}

int64_t PeakMemoryKb() {
  PROCESS_MEMORY_COUNTERS counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return static_cast<int64_t>(counters.PeakWorkingSetSize / 1024);
}

}  // namespace pk
