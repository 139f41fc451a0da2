// The Win32 back end's own answers: the reason its one error helper gives a
// failed close.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pk
