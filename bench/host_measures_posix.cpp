// Host measures on POSIX: open/read(2)/close and getrusage.
#include <errno.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "bench/host_measures.h"

namespace pk {

namespace {

char plainBuffer[PLAIN_READ_SIZE];

}  // namespace

int64_t ReadFilesPlainly(const std::vector<std::string>& paths) {
  int64_t total = 0;
  for (const std::string& path : paths) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    ssize_t got;
    while ((got = ::read(fd, plainBuffer, sizeof plainBuffer)) != 0) {
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        ::close(fd);
        return -1;
      }
      total += got;
    }
    ::close(fd);
  }
  return total;
}

int64_t PeakMemoryKb() {
  struct rusage usage;
  if (::getrusage(RUSAGE_SELF, &usage) != 0) return -1;
  return usage.ru_maxrss;  // KB on Linux
}

}  // namespace pk
