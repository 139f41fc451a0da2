#include "extract/source_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "extract/master_list.h"
#include "extract/test_directory.h"
#include "records/record_file.h"

namespace pk {
namespace {

void LoadMaster(const std::string& lines) {
  WriteWholeFile("MASTERFD.LIS", lines);
  ASSERT_EQ(LoadMasterList("MASTERFD.LIS", 12), StepOutcome::DONE);
}

StepOutcome Scan() {
  return ScanSource(JobName("DEMO.FOR"), JobName("DEMO.FDH"), LookUpIdentifier);
}

TEST(ScanSource, WritesEachUsedSymbolOnceInOrderOfFirstUse) {
  ScratchDirectory scratch;
  LoadMaster(CrLf({"GETDC", "RELEASEDC", "SENDMESSAGE", "MESSAGE", "BEEP", "NAME", "TAIL", "EDGE",
                   "ZERO", "HIDDEN"}));
  const std::string longLine = "      X = " + std::string(64, 'Q') + "  EDGE" + "HIDDEN";
  WriteWholeFile("DEMO.FOR",
                 CrLf({
                     "C     CALL HIDDEN", "c     CALL HIDDEN", "$     HIDDEN",
                     "      HDC = getdc(HWND)", "      CALL GetDC(X); CALL ReleaseDC(HWND, HDC)",
                     "*    SMessage",  // columns 1 to 6 are not scanned
                     "!     'Beep' ! ZERO",
                     "  LONGNAME = 1",  // starts in column 3: looked up as NAME
                     "     1TAIL",      // continuation column holds the 1
                     longLine.c_str(),  // EDGE ends at 80, HIDDEN after it
                 }));
  ASSERT_EQ(Scan(), StepOutcome::DONE);
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"),
            CrLf({"GETDC", "RELEASEDC", "MESSAGE", "BEEP", "ZERO", "NAME", "TAIL", "EDGE"}));
}

TEST(ScanSource, MissingSourceLeavesTheListUntouched) {
  ScratchDirectory scratch;
  LoadMaster(CrLf({"GETDC"}));
  WriteWholeFile("DEMO.FDH", CrLf({"OLDSYMBOL"}));
  EXPECT_EQ(Scan(), StepOutcome::INPUT_NOT_OPENED);
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), CrLf({"OLDSYMBOL"}));
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

TEST(ScanSource, ListThatCannotBeOpenedIsReported) {
  ScratchDirectory scratch;
  LoadMaster(CrLf({"GETDC"}));
  WriteWholeFile("DEMO.FOR", CrLf({"      GETDC"}));
  std::filesystem::create_directory("DEMO.FDH");
  EXPECT_EQ(Scan(), StepOutcome::OUTPUT_NOT_OPENED);
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

TEST(ScanSource, FailedWriteOfTheListIsReported) {
  ScratchDirectory scratch;
  LoadMaster(CrLf({"GETDC", "BEEP"}));
  WriteWholeFile("DEMO.FOR", CrLf({"      GETDC", "      BEEP"}));
  TracedFileServices failing("BEEP");
  EXPECT_EQ(Scan(), StepOutcome::OUTPUT_WRITE_FAILED);
  EXPECT_FALSE(IsUnitAttached(UNIT_OUTPUT));
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

}  // namespace
}  // namespace pk
