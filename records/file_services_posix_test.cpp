// The POSIX back end's own answers: the reasons its one error helper gives.
// (Links that lead nowhere and the lock a job under wine meets are proven
// by the job's tests and tests/robustness/links_and_locks.sh.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "records/file_services.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

// Each OS failure is worded by its real cause.
TEST(PosixFileServices, EachReasonNamesTheRealCause) {
  testing::ScratchDirectory scratch;
  const FileServices& os = HostFileServices();
  int pipeEnds[2];
  ASSERT_EQ(::pipe2(pipeEnds, O_NONBLOCK), 0);
  char byte = 'x';
  int32_t received = -1;
  const IoStatus emptyRead = os.read(pipeEnds[0], &byte, 1, &received);  // EAGAIN
  while (::write(pipeEnds[1], &byte, 1) == 1) {
  }
  const IoStatus fullWrite = os.write(pipeEnds[1], &byte, 1);  // EAGAIN
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);
  const IoStatus closedAgain = os.close(pipeEnds[0]);        // EBADF
  const IoStatus removedMissing = os.remove("missing.txt");  // ENOENT
  const struct {
    IoStatus status;
    IoStatus expected;
    const char* text;
  } cases[] = {
      {emptyRead, IO_FILE_BUSY, "the file is busy, try again"},
      {fullWrite, IO_FILE_BUSY, "the file is busy, try again"},
      {closedAgain, IO_CLOSE_FAILED, "the file could not be closed"},
      {removedMissing, IO_FILE_NOT_FOUND, "the file does not exist"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.status, c.expected);
    EXPECT_STREQ(IoStatusText(c.status), c.text);
  }
}

}  // namespace
}  // namespace pk
