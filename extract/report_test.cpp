#include "extract/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "extract/symbol_table.h"
#include "records/record_file.h"
#include "testing/files.h"
#include "testing/scratch_directory.h"
#include "testing/traced_file_services.h"

namespace pk {
namespace {

using testing::CrLf;
using testing::ReadWholeFile;
using testing::ScratchDirectory;
using testing::TracedFileServices;

// Each word is "WORD" or "WORD REMARK" (a word added for the entry REMARK).
void Need(std::initializer_list<std::string> words) {
  ClearEntries();
  for (const std::string& w : words) {
    const size_t blank = std::min(w.find(' '), w.size());
    const std::string remark = blank < w.size() ? w.substr(blank + 1) : "";
    AppendEntry(w.data(), static_cast<int32_t>(blank), remark.data(),
                static_cast<int32_t>(remark.size()));
  }
  UseEntriesAsNeededList();
}

std::string Report(const char* kind) {
  EXPECT_EQ(OpenFile(UNIT_REPORT, "DEMO.PRE", 8, OpenStatus::REPLACE), IO_OK);
  WriteReport(kind);
  CloseFile(UNIT_REPORT);
  return ReadWholeFile("DEMO.PRE");
}

TEST(WriteReport, ListsUnfoundAndFailedWordsInListOrder) {
  ScratchDirectory scratch;
  Need({"GETDC", "BEEP", "DRAW", "LOST"});
  MarkNeededWord(1, MARK_DONE);
  MarkNeededWord(4, MARK_FAILED);
  EXPECT_EQ(Report(FI_KIND_TEXT),
            CrLf({"       4 FI Symbols were specified", "       3 FI Symbols were not found",
                  " FI Symbols not found:", "BEEP", "DRAW", "LOST"}));
}

// Words added for other blocks are counted on a line of their own, not among
// the specified ones, and an unfound one names the block that needs it.
TEST(WriteReport, CountsTheWordsNeededByOtherBlocksApart) {
  ScratchDirectory scratch;
  Need({"PAINTSTRUCT", "RECT PAINTSTRUCT", "POINT PAINTSTRUCT", "BEEP"});
  MarkNeededWord(1, MARK_DONE);
  MarkNeededWord(2, MARK_DONE);
  EXPECT_EQ(
      Report(FD_KIND_TEXT),
      CrLf({"       2 FD Symbols were specified", "       2 FD Symbols were needed by other blocks",
            "       2 FD Symbols were not found",
            " FD Symbols not found:", "POINT needed by PAINTSTRUCT", "BEEP"}));
}

// Each line is written out on its own: a failed line costs only itself.
TEST(WriteReport, AFailedLineLosesNoOtherLine) {
  ScratchDirectory scratch;
  Need({"BEEP", "LOST", "DRAW"});
  TracedFileServices failing("LOST");
  EXPECT_EQ(Report(FD_KIND_TEXT),
            CrLf({"       3 FD Symbols were specified", "       3 FD Symbols were not found",
                  " FD Symbols not found:", "BEEP", "DRAW"}));
}

}  // namespace
}  // namespace pk
