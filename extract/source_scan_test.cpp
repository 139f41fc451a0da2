#include "extract/source_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "extract/identifier_chars.h"
#include "extract/master_list.h"
#include "records/record_file.h"
#include "testing/files.h"
#include "testing/job_files.h"
#include "testing/scratch_directory.h"
#include "testing/traced_file_services.h"

namespace pk {
namespace {

using testing::CrLf;
using testing::JobName;
using testing::ReadWholeFile;
using testing::ScratchDirectory;
using testing::WriteWholeFile;

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

// A word is found wherever it stands, whichever sixteen columns hold it and
// across columns 64 and 65; the longest runs from column 7 to 80.
TEST(ScanSource, FindsAWordInEveryColumn) {
  ScratchDirectory scratch;
  std::string master;
  std::string source;
  for (int column = 7; column <= 78; ++column) {
    const std::string symbol = "S" + std::to_string(column / 10) + std::to_string(column % 10);
    master += symbol + "\r\n";
    std::string word = symbol;
    if (column % 2 == 1) word[0] = 's';
    source += std::string(static_cast<size_t>(column - 1), '+') + word + "(q1)\r\n";
  }
  master += std::string(74, 'L') + "\r\n";
  source += "      " + std::string(74, 'l') + "\r\n";
  LoadMaster(master);
  WriteWholeFile("DEMO.FOR", source);
  ASSERT_EQ(Scan(), StepOutcome::DONE);
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), master);
}

// Sixteen characters classified at once give, for every byte in every
// position, what the per-character table gives.
TEST(ClassifySixteen, AgreesWithTheTableForEveryByte) {
  for (int first = 0; first < 256 + BYTE_VECTOR_SIZE; ++first) {
    char chars[BYTE_VECTOR_SIZE];
    for (int i = 0; i < BYTE_VECTOR_SIZE; ++i) chars[i] = static_cast<char>((first + i * 17) % 256);
    const SixteenCharacters sixteen = ClassifySixteen(LoadBytes(chars));
    char folded[BYTE_VECTOR_SIZE];
    StoreBytes(folded, sixteen.folded);
    for (int i = 0; i < BYTE_VECTOR_SIZE; ++i) {
      const char table = FoldedIdentifierChar(chars[i]);
      EXPECT_EQ((sixteen.identifierBits >> i & 1) != 0, table != 0) << int{chars[i]};
      EXPECT_EQ(folded[i], table != 0 ? table : chars[i]) << int{chars[i]};
    }
  }
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
  testing::TracedFileServices failing("BEEP");
  EXPECT_EQ(Scan(), StepOutcome::OUTPUT_WRITE_FAILED);
  EXPECT_FALSE(IsUnitAttached(UNIT_OUTPUT));
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

}  // namespace
}  // namespace pk
