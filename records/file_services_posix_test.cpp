// The POSIX back end's own answers: the reasons its one error helper gives,
// what a link that leads nowhere is, and the lock a job under wine meets.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "records/file_services.h"
#include "testing/files.h"
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
  const IoStatus closedAgain = os.close(pipeEnds[0]);  // EBADF
  const struct {
    IoStatus status;
    IoStatus expected;
    const char* text;
  } cases[] = {
      {emptyRead, IO_FILE_BUSY, "the file is busy, try again"},
      {fullWrite, IO_FILE_BUSY, "the file is busy, try again"},
      {closedAgain, IO_CLOSE_FAILED, "the file could not be closed"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.status, c.expected);
    EXPECT_STREQ(IoStatusText(c.status), c.text);
  }
}

// A name that is a link leading to no file, or a loop of links, is neither a
// missing file nor a lock: nothing is made where it leads.
TEST(PosixFileServices, ALinkThatLeadsNowhereIsNamedSo) {
  testing::ScratchDirectory scratch;
  std::filesystem::create_symlink("NEW.PRE", "DEMO.PRE");
  std::filesystem::create_symlink("LOOP.PRE", "LOOP.PRE");
  const FileServices& os = HostFileServices();
  FileIdentity identity = {7, 7};
  EXPECT_EQ(os.identify("DEMO.PRE", &identity), IO_DANGLING_LINK);
  EXPECT_EQ(os.identify("LOOP.PRE", &identity), IO_DANGLING_LINK);
  EXPECT_EQ(os.identify("NONE.PRE", &identity), IO_FILE_NOT_FOUND);
  OsHandle handle = NO_OS_HANDLE;
  bool created = false;
  EXPECT_EQ(os.lock("DEMO.PRE", &handle, &created), IO_DANGLING_LINK);
  EXPECT_EQ(os.lock("LOOP.PRE", &handle, &created), IO_DANGLING_LINK);
  EXPECT_EQ(identity.volume, 7u);
  EXPECT_EQ(handle, NO_OS_HANDLE);
  EXPECT_FALSE(testing::FileExists("NEW.PRE"));
  // The lock makes a missing file under its name, and nothing else stays.
  ASSERT_EQ(os.lock("MADE.PRE", &handle, &created), IO_OK);
  EXPECT_TRUE(created);
  os.unlock(handle);
  std::string made;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (!entry.is_symlink()) made += entry.path().filename().string() + " ";
  }
  EXPECT_EQ(made, "MADE.PRE ");
}

// wine keeps a job's LockFileEx lock as a POSIX lock on byte 2^62 of the
// file (a read lock where the file is open read-only): the native lock meets
// it, and takes a lock there that wine meets in turn.
TEST(PosixFileServices, TheLockMeetsWhatWineLocks) {
  testing::ScratchDirectory scratch;
  testing::WriteWholeFile("DEMO.PRE", "");
  const int wine = ::open("DEMO.PRE", O_RDONLY);
  struct flock range = {};
  range.l_type = F_RDLCK;
  range.l_whence = SEEK_SET;
  range.l_start = off_t{1} << 62;
  range.l_len = 1;
  ASSERT_EQ(::fcntl(wine, F_SETLK, &range), 0);
  OsHandle handle = NO_OS_HANDLE;
  bool created = false;
  EXPECT_EQ(HostFileServices().lock("DEMO.PRE", &handle, &created), IO_FILE_LOCKED);
  ::close(wine);  // a process's own lock ends with any of its descriptors of the file
  ASSERT_EQ(HostFileServices().lock("DEMO.PRE", &handle, &created), IO_OK);
  const int other = ::open("DEMO.PRE", O_RDONLY);
  range.l_type = F_RDLCK;
  ASSERT_EQ(::fcntl(other, F_GETLK, &range), 0);
  EXPECT_NE(range.l_type, F_UNLCK);
  ::close(other);
  HostFileServices().unlock(handle);
}

}  // namespace
}  // namespace pk
