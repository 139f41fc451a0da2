// A job started while other files hold units of the record layer's 61: the
// job ends where it first needs a unit that is not there, skips libraries
// when only the list and output units are left, and runs as usual otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/job.h"
#include "records/record_file.h"
#include "testing/files.h"
#include "testing/job_files.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

using testing::ReadWholeFile;

constexpr int32_t FIRST_HELD_UNIT = 10;

const std::vector<testing::InputFile> kInputs = {
    {"MASTERFI.LIS", {"MSG"}},
    {"MASTERFD.LIS", {"GETDC"}},
    {"DEMO.FOR", {"      CALL GETDC(MSG)"}},
    {"USER32.FD", {"C*GETDC", "      INTEGER GETDC"}},
    {"USER32.FI", {"C*MSG", "      STRUCTURE /MSG/"}},
};

// Attaches `count` files of their own to units the job does not use.
void HoldUnits(int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    const std::string name = "HELD" + std::to_string(i) + ".TXT";
    ASSERT_EQ(OpenFile(FIRST_HELD_UNIT + i, name.c_str(), static_cast<int32_t>(name.size())),
              IO_OK);
  }
}

char programName[PROGRAM_NAME_LENGTH + 1] = "DEMO";

TEST(UnitsInUse, NoFreeUnitEndsTheJobAtTheFirstMasterList) {
  testing::ScratchDirectory scratch;
  testing::WriteJobInputs(kInputs);
  HoldUnits(UNIT_SLOTS);
  const JobOutcome outcome = RunJob(programName);
  CloseAllFiles();
  EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED);
  EXPECT_EQ(testing::Trimmed(outcome.file), "MASTERFI.LIS");
  EXPECT_FALSE(testing::FileExists("DEMO.FIH"));
}

TEST(UnitsInUse, OneFreeUnitEndsTheJobAtTheFirstUsedList) {
  testing::ScratchDirectory scratch;
  testing::WriteJobInputs(kInputs);
  HoldUnits(UNIT_SLOTS - 1);
  const JobOutcome outcome = RunJob(programName);
  CloseAllFiles();
  EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED);
  EXPECT_EQ(testing::Trimmed(outcome.file), "DEMO.FIH");
  EXPECT_FALSE(testing::FileExists("DEMO.PRE"));
}

// The report, the list and the output take the last units: no library can
// be opened, so every symbol is honestly reported not found.
TEST(UnitsInUse, TwoFreeUnitsSkipEveryLibrary) {
  testing::ScratchDirectory scratch;
  testing::WriteJobInputs(kInputs);
  HoldUnits(UNIT_SLOTS - 2);
  const JobOutcome outcome = RunJob(programName);
  CloseAllFiles();
  EXPECT_EQ(outcome.end, JobEnd::COMPLETE);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), "");
  EXPECT_EQ(ReadWholeFile("DEMO.PRE"),
            "       1 FD Symbols were specified\r\n       1 FD Symbols were not found\r\n"
            " FD Symbols not found:\r\nGETDC\r\n"
            "       1 FI Symbols were specified\r\n       1 FI Symbols were not found\r\n"
            " FI Symbols not found:\r\nMSG\r\n");
}

TEST(UnitsInUse, ThreeFreeUnitsAreAllAJobNeeds) {
  testing::ScratchDirectory scratch;
  testing::WriteJobInputs(kInputs);
  HoldUnits(UNIT_SLOTS - 3);
  const JobOutcome outcome = RunJob(programName);
  CloseAllFiles();
  EXPECT_EQ(outcome.end, JobEnd::COMPLETE);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), "      INTEGER GETDC\r\n");
  EXPECT_EQ(ReadWholeFile("DEMO.PRE"),
            "       1 FD Symbols were specified\r\n       0 FD Symbols were not found\r\n"
            "       1 FI Symbols were specified\r\n       0 FI Symbols were not found\r\n");
}

}  // namespace
}  // namespace pk
