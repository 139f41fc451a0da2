#include "extract/declaration_copy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
using testing::TracedFileServices;
using testing::WriteWholeFile;

void LoadNeeded(const std::vector<std::string>& words) {
  WriteWholeFile("DEMO.FDH", CrLf(words));
  ASSERT_EQ(LoadNeededList(JobName("DEMO.FDH")).end, StepEnd::DONE);
}

// The files the last Copy() went on without.
FileFaults copyFaults;

// The libraries whose copying the last Copy() cut short.
bool copyCutShort[LIBRARY_SLOTS];

StepOutcome Copy() {
  copyFaults = {};
  for (bool& cut : copyCutShort) cut = false;
  return CopyDeclarations(CURRENT_DIRECTORY, libraryTable.fdLibraries, JobName("DEMO.FD"),
                          FindNeededWord, copyFaults, copyCutShort);
}

char Mark(int32_t word) {
  return EntryTerminator(word);
}

TEST(CopyDeclarations, CopiesTheBodyLinesOfEachNeededBlock) {
  ScratchDirectory scratch;
  LoadNeeded({"GETDC", "BEEP", "MISSING", "DRAW"});
  WriteWholeFile("USER32.FD", std::string("      BEFORE FIRST HEADER\r\n"
                                          "C*getdc  the device context\r\n"
                                          "      INTEGER GETDC   \r\n"
                                          "c     a comment inside the block\r\n"
                                          "\r\n"
                                          "*     star line\r\n"
                                          "!     bang line\r\n") +
                                  std::string("      NULS\0\0  \r\n", 16) +
                                  "C*****************\r\n"
                                  "      AFTER DECORATION\r\n"
                                  "C*DRAW\r\n"
                                  "      DRAW BODY\r\n"
                                  "C* BEEP\r\n"
                                  "      NOT COPIED\r\n");
  WriteWholeFile("GDI32.FD", CrLf({"C*GETDC", "      SECOND GETDC", "C*BEEP", "      BEEP BODY"}));
  ASSERT_EQ(Copy().end, StepEnd::DONE);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"),
            CrLf({"      INTEGER GETDC", "", "*     star line", "!     bang line", "      NULS",
                  "      DRAW BODY", "      BEEP BODY"}));
  EXPECT_EQ(neededList.remainingCount, 1);
  EXPECT_EQ(Mark(1), MARK_DONE);
  EXPECT_EQ(Mark(3), MARK_OPEN);
  EXPECT_FALSE(IsUnitAttached(UNIT_OUTPUT));
}

TEST(CopyDeclarations, SkipsMissingLibrariesAndOpensNoneOnceAllAreFound) {
  ScratchDirectory scratch;
  LoadNeeded({"BEEP"});
  WriteWholeFile("GDI32.FD", CrLf({"C*BEEP", "      BEEP BODY"}));
  WriteWholeFile("KERNEL32.FD", CrLf({"C*BEEP", "      LATER BEEP"}));
  TracedFileServices traced;
  ASSERT_EQ(Copy().end, StepEnd::DONE);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), CrLf({"      BEEP BODY"}));
  EXPECT_TRUE(TracedFileServices::Opened("USER32.FD"));
  EXPECT_FALSE(TracedFileServices::Opened("KERNEL32.FD"));
}

TEST(CopyDeclarations, EmptyNeededListEmptiesAnOldOutputAndOpensNoLibrary) {
  ScratchDirectory scratch;
  LoadNeeded({});
  WriteWholeFile("DEMO.FD", CrLf({"      OLD OUTPUT"}));
  TracedFileServices traced;
  ASSERT_EQ(Copy().end, StepEnd::DONE);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), "");
  EXPECT_FALSE(TracedFileServices::Opened("USER32.FD"));
}

TEST(CopyDeclarations, BlockThatCannotBeWrittenCountsAsNotFoundAndIsNeverCopiedAgain) {
  ScratchDirectory scratch;
  LoadNeeded({"GETDC", "BEEP", "DRAW"});
  WriteWholeFile("USER32.FD", CrLf({"C*GETDC", "      GETDC BODY", "C*BEEP", "      BAD LINE",
                                    "C*DRAW", "      DRAW BODY"}));
  WriteWholeFile("GDI32.FD", CrLf({"C*BEEP", "      BEEP AGAIN", "C*DRAW", "      DRAW BODY"}));
  TracedFileServices failing("BAD");
  ASSERT_EQ(Copy().end, StepEnd::DONE);
  EXPECT_EQ(Mark(2), MARK_FAILED);
  EXPECT_EQ(neededList.remainingCount, 1);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), CrLf({"      GETDC BODY", "      DRAW BODY"}));
  // USER32.FD's DRAW was not met there: its walk was cut short.
  EXPECT_TRUE(copyCutShort[0]);
  EXPECT_FALSE(copyCutShort[1]);
}

// A block longer than the transfer buffer is partly on disk when a later
// write of it fails: that part is taken back.
TEST(CopyDeclarations, PartOfAFailedBlockIsTakenBackFromTheOutput) {
  ScratchDirectory scratch;
  LoadNeeded({"GETDC", "BEEP"});
  std::string library = CrLf({"C*GETDC", "      GETDC BODY", "C*BEEP"});
  // 29 lines: the first 1024 bytes reach the disk, "BAD LINE" stays whole in
  // the next buffer.
  for (int i = 0; i < 29; ++i) library += "      BEEP LINE " + std::string(50, 'x') + "\r\n";
  library += CrLf({"      BAD LINE", "C*OTHER"});
  WriteWholeFile("USER32.FD", library);
  TracedFileServices failing("BAD");
  ASSERT_EQ(Copy().end, StepEnd::DONE);
  EXPECT_EQ(Mark(2), MARK_FAILED);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), CrLf({"      GETDC BODY"}));
}

// A read error inside a block leaves it not found, and nothing of it copied.
TEST(CopyDeclarations, BlockCutByAReadErrorCountsAsNotFound) {
  ScratchDirectory scratch;
  LoadNeeded({"GETDC", "BEEP"});
  std::string library = CrLf({"C*GETDC", "      GETDC BODY", "C*BEEP"});
  for (int i = 0; i < 30; ++i) library += "      BEEP LINE " + std::string(50, 'x') + "\r\n";
  WriteWholeFile("USER32.FD", library);
  // The first read of the library succeeds, the second fails inside BEEP.
  {
    const testing::FailingFileServices failingCalls(testing::FileCall::READ, 2, IO_READ_FAILED);
    ASSERT_EQ(Copy().end, StepEnd::DONE);
  }
  EXPECT_EQ(Mark(1), MARK_DONE);
  EXPECT_EQ(Mark(2), MARK_FAILED);
  EXPECT_EQ(neededList.remainingCount, 1);
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), CrLf({"      GETDC BODY"}));
  EXPECT_FALSE(copyCutShort[0]);  // a read error is the library's own fault
}

TEST(CopyDeclarations, OutputThatCannotBeOpenedIsReported) {
  ScratchDirectory scratch;
  LoadNeeded({"BEEP"});
  std::filesystem::create_directory("DEMO.FD");
  EXPECT_EQ(Copy().end, StepEnd::OUTPUT_NOT_OPENED);
  EXPECT_EQ(neededList.remainingCount, 1);
}

}  // namespace
}  // namespace pk
