// Host measures on POSIX: open/read(2)/close and getrusage.
#include <errno.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "bench/host_measures.h"

namespace pk {

int64_t ReadFilePlainly(const std::string& path, char* buffer, int32_t size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  int64_t total = 0;
  ssize_t got;
  while ((got = ::read(fd, buffer, static_cast<size_t>(size))) != 0) {
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      total = -1;
      break;
    }
    total += got;
  }
  ::close(fd);
  return total;
}

double TimeCatPipeline(const std::vector<std::string>& files) {
  std::string command = "cat";
  for (const std::string& file : files) command += " '" + file + "'";
  command += " | wc -c >/dev/null";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  return status == 0 ? seconds.count() : -1;
}

int64_t PeakMemoryKb() {
  struct rusage usage;
  if (::getrusage(RUSAGE_SELF, &usage) != 0) return -1;
  return usage.ru_maxrss;  // KB on Linux
}

}  // namespace pk
