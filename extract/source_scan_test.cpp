#include "extract/source_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "extract/identifier_chars.h"
#include "extract/master_list.h"
#include "extract/symbol_table.h"
#include "records/record_file.h"
#include "testing/failing_file_services.h"
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
  ASSERT_EQ(LoadMasterList("MASTERFD.LIS", 12).end, StepEnd::DONE);
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
  ASSERT_EQ(Scan().end, StepEnd::DONE);
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
  ASSERT_EQ(Scan().end, StepEnd::DONE);
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

// The symbols a used entry's needs lines name follow the source's own, once
// each, with a remark naming that entry; a symbol the source names itself
// keeps its own line. Needs lines of no entry, of an unused entry, naming the
// entry itself, nothing of the list or an entry no identifier equals (X-Y),
// and the needs of an added symbol, add nothing.
TEST(ScanSource, AddsTheSymbolsThatAUsedEntryNeeds) {
  const std::string master =
      CrLf({"+RECT before any entry", "PAINTSTRUCT USER32", "+rect remark", "+POINT", "MSG",
            "+POINT", "RECT", "POINT", "SELF", "+SELF", "+UNKNOWN", "+", "++RECT", "CHAIN", "+LINK",
            "LINK", "+END", "END", "X-Y", "POINTS", "+X-Y"});
  const struct {
    SourceForm form;
    const char* source;
    std::vector<std::string> used;
  } cases[] = {
      {SourceForm::FIXED,
       "      TYPE(PAINTSTRUCT) PS",
       {"PAINTSTRUCT", "RECT needed by PAINTSTRUCT", "POINT needed by PAINTSTRUCT"}},
      {SourceForm::FIXED,
       "      PS = PAINTSTRUCT(RECT)",
       {"PAINTSTRUCT", "RECT", "POINT needed by PAINTSTRUCT"}},
      {SourceForm::FIXED,
       "      X = MSG(PAINTSTRUCT)",
       {"MSG", "PAINTSTRUCT", "RECT needed by PAINTSTRUCT", "POINT needed by PAINTSTRUCT"}},
      {SourceForm::FIXED, "      POINT = SELF", {"POINT", "SELF"}},
      {SourceForm::FIXED, "      CALL CHAIN", {"CHAIN", "LINK needed by CHAIN"}},
      {SourceForm::FIXED, "      X = POINTS", {"POINTS"}},
      {SourceForm::FREE,
       "call Paint&\r\n  &Struct(ps)",
       {"PAINTSTRUCT", "RECT needed by PAINTSTRUCT", "POINT needed by PAINTSTRUCT"}},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    LoadMaster(master);
    WriteWholeFile("DEMO.FOR", CrLf({c.source}));
    ASSERT_EQ(ScanSource(JobName("DEMO.FOR"), JobName("DEMO.FDH"), LookUpIdentifier, c.form).end,
              StepEnd::DONE);
    EXPECT_EQ(ReadWholeFile("DEMO.FDH"), CrLf(c.used)) << c.source;
  }
}

// Needs lines are entries of the table: as many as fit are honoured, and the
// ones beyond its 50,000 entries are not loaded.
TEST(ScanSource, HonoursTheNeedsLinesThatFitTheTable) {
  ScratchDirectory scratch;
  std::string master;
  std::string needs;
  constexpr int kNamed = MAX_SYMBOLS / 2;
  for (int i = 1; i <= kNamed; ++i) {
    master += "S" + std::to_string(i) + "\r\n";
    needs += "+S" + std::to_string(i) + "\r\n";
  }
  LoadMaster(master + "BIG\r\n" + needs);
  WriteWholeFile("DEMO.FOR", CrLf({"      CALL BIG"}));
  ASSERT_EQ(Scan().end, StepEnd::DONE);
  std::string used = "BIG\r\n";
  for (int i = 1; i < kNamed; ++i) used += "S" + std::to_string(i) + " needed by BIG\r\n";
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), used);
}

// An added symbol is marked only once its line is written: the line that
// fails leaves it open, and the list ends in the last whole line.
TEST(ScanSource, FailedWriteOfAnAddedSymbolLeavesItUnmarked) {
  ScratchDirectory scratch;
  std::string master;
  std::string source;
  // 46 lines of 22 bytes fill 1012 of the 1024 bytes of the transfer buffer.
  for (int i = 0; i < 46; ++i) {
    const std::string name = "NAME" + std::to_string(1000000000000000 + i);
    master += name + "\r\n";
    source += "      CALL " + name + "\r\n";
  }
  LoadMaster(master + CrLf({"+NEEDEDSYMBOL", "NEEDEDSYMBOL"}));
  WriteWholeFile("DEMO.FOR", source);
  {
    const testing::FailingFileServices failingCalls(testing::FileCall::WRITE, 1, IO_DISK_FULL);
    const StepOutcome scanned = Scan();
    EXPECT_EQ(scanned.end, StepEnd::OUTPUT_WRITE_FAILED);
    EXPECT_EQ(scanned.status, IO_DISK_FULL);
  }
  EXPECT_EQ(EntryTerminator(symbolTable.entryCount), MARK_OPEN);
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), "");
}

TEST(ScanSource, MissingSourceLeavesTheListUntouched) {
  ScratchDirectory scratch;
  LoadMaster(CrLf({"GETDC"}));
  WriteWholeFile("DEMO.FDH", CrLf({"OLDSYMBOL"}));
  EXPECT_EQ(Scan().end, StepEnd::INPUT_NOT_OPENED);
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), CrLf({"OLDSYMBOL"}));
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

TEST(ScanSource, ListThatCannotBeOpenedIsReported) {
  ScratchDirectory scratch;
  LoadMaster(CrLf({"GETDC"}));
  WriteWholeFile("DEMO.FOR", CrLf({"      GETDC"}));
  std::filesystem::create_directory("DEMO.FDH");
  EXPECT_EQ(Scan().end, StepEnd::OUTPUT_NOT_OPENED);
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

TEST(ScanSource, FailedWriteOfTheListIsReported) {
  ScratchDirectory scratch;
  LoadMaster(CrLf({"GETDC", "BEEP"}));
  WriteWholeFile("DEMO.FOR", CrLf({"      GETDC", "      BEEP"}));
  testing::TracedFileServices failing("BEEP");
  EXPECT_EQ(Scan().end, StepEnd::OUTPUT_WRITE_FAILED);
  EXPECT_FALSE(IsUnitAttached(UNIT_OUTPUT));
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

}  // namespace
}  // namespace pk
