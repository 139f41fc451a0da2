// The Win32 back end's own answers: the reason its one error helper gives a
// failed close, and the lock's file made under its own name first.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "records/file_services.h"
#include "testing/files.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

// A failed close is worded as such, not as a refused write. (A read of a
// part another handle locked, which Windows words as a lock violation, reads
// as "the file is busy" too; wine does not refuse such reads.)
TEST(Win32FileServices, AFailedCloseSaysTheFileCouldNotBeClosed) {
  testing::ScratchDirectory scratch;
  testing::WriteWholeFile("INPUT.TXT", "some bytes");
  const FileServices& os = HostFileServices();
  OsHandle input = NO_OS_HANDLE;
  ASSERT_EQ(os.open("INPUT.TXT", OsAccess::READ_ONLY, OsCreation::MUST_EXIST, &input), IO_OK);
  ASSERT_EQ(os.close(input), IO_OK);
  const IoStatus closedAgain = os.close(input);  // ERROR_INVALID_HANDLE
  EXPECT_EQ(closedAgain, IO_CLOSE_FAILED);
  EXPECT_STREQ(IoStatusText(closedAgain), "the file could not be closed");
}

// The lock makes a missing file under its name, already locked, and leaves
// no other file.
TEST(Win32FileServices, TheLockLeavesOnlyTheFileItMade) {
  testing::ScratchDirectory scratch;
  OsHandle handle = NO_OS_HANDLE;
  bool created = false;
  ASSERT_EQ(HostFileServices().lock("MADE.PRE", &handle, &created), IO_OK);
  EXPECT_TRUE(created);
  OsHandle second = NO_OS_HANDLE;
  EXPECT_EQ(HostFileServices().lock("MADE.PRE", &second, &created), IO_FILE_LOCKED);
  HostFileServices().unlock(handle);
  std::string names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    names += entry.path().filename().string() + " ";
  }
  EXPECT_EQ(names, "MADE.PRE ");
}

}  // namespace
}  // namespace pk
