#include "extract/needed_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "extract/symbol_table.h"
#include "testing/files.h"
#include "testing/job_files.h"
#include "testing/list_walks.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

using testing::CrLf;
using testing::JobName;
using testing::ScratchDirectory;
using testing::WriteWholeFile;

TEST(LoadNeededList, ReadsTheFoldedFirstWordOfEveryLineNotStartingWithABlank) {
  ScratchDirectory scratch;
  WriteWholeFile("DEMO.FDH", CrLf({"getDC extra", " SKIPPED", "", "BEEP"}));
  ASSERT_EQ(LoadNeededList(JobName("DEMO.FDH")).end, StepEnd::DONE);
  EXPECT_EQ(neededList.neededCount, 2);
  EXPECT_EQ(neededList.remainingCount, 2);
  EXPECT_EQ(std::string(workStore, 11), "GETDC BEEP ");
  EXPECT_EQ(FindNeededWord("BEEP", 4), 2);
}

// A word followed by " needed by " and a name was added for the entry of that
// name: the name, folded, is its remark. Any other text after a word is none.
TEST(LoadNeededList, KeepsTheNameOfTheEntryAWordWasAddedFor) {
  const std::string word69(69, 'W');
  const struct {
    std::string line;
    const char* word;
    const char* remark;
  } cases[] = {
      {"RECT needed by PAINTSTRUCT", "RECT", "PAINTSTRUCT"},
      {"rect NEEDED BY paintStruct and more", "RECT", "PAINTSTRUCT"},
      {"RECT needed by ", "RECT", ""},
      {"RECT needed byPAINTSTRUCT", "RECT", ""},
      {"RECT  needed by PAINTSTRUCT", "RECT", ""},
      {word69 + " needed by X", word69.c_str(), ""},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteWholeFile("DEMO.FDH", CrLf({c.line, "BEEP"}));
    ASSERT_EQ(LoadNeededList(JobName("DEMO.FDH")).end, StepEnd::DONE);
    const std::string remark(EntryRemark(1), static_cast<size_t>(EntryRemarkLength(1)));
    EXPECT_EQ(std::string(EntryText(1), static_cast<size_t>(symbolTable.entryLength[1])), c.word);
    EXPECT_EQ(remark, c.remark) << c.line;
    EXPECT_EQ(neededList.addedCount, remark.empty() ? 0 : 1) << c.line;
    EXPECT_EQ(FindNeededWord("BEEP", 4), 2);
  }
}

TEST(LoadNeededList, MissingListIsNotOpenedAndEmpty) {
  ScratchDirectory scratch;
  EXPECT_EQ(LoadNeededList(JobName("DEMO.FDH")).end, StepEnd::INPUT_NOT_OPENED);
  EXPECT_EQ(neededList.neededCount, 0);
  EXPECT_EQ(FindNeededWord("BEEP", 4), 0);
}

TEST(LoadNeededList, StopsAtTheFirstWordBeyondTheTable) {
  ScratchDirectory scratch;
  std::string list;
  for (int i = 1; i <= MAX_SYMBOLS + 5; ++i) list += "W" + std::to_string(i) + "\r\n";
  WriteWholeFile("DEMO.FDH", list);
  ASSERT_EQ(LoadNeededList(JobName("DEMO.FDH")).end, StepEnd::DONE);
  EXPECT_EQ(neededList.neededCount, MAX_SYMBOLS);
  EXPECT_EQ(FindNeededWord("W50001", 6), 0);
}

// Equal words may repeat in an edited list: the index must give the first
// word still open, as the walk does, while words are marked in any order.
TEST(FindNeededWord, AgreesWithTheWalkWhileWordsAreMarked) {
  std::mt19937 random(8122026);
  auto word = [&] {
    std::string w(1 + random() % 3, ' ');
    for (char& c : w) c = "AB*\t"[random() % 4];
    return w;
  };
  ClearEntries();
  for (int i = 0; i < 2000; ++i) {
    const std::string w = word();
    ASSERT_TRUE(AppendEntry(w.data(), static_cast<int32_t>(w.size())));
  }
  UseEntriesAsNeededList();
  for (int i = 0; i < 6000; ++i) {
    const std::string w = word();
    const auto length = static_cast<int32_t>(w.size());
    const int32_t found = FindNeededWord(w.data(), length);
    ASSERT_EQ(found, testing::FindNeededWordByWalk(w.data(), length)) << w;
    if (found != 0 && random() % 2 == 0) MarkNeededWord(found, MARK_DONE);
    const auto other = static_cast<int32_t>(1 + random() % 2000);
    if (random() % 4 == 0) MarkNeededWord(other, MARK_FAILED);
  }
  // The marks keep the count of words not found.
  int32_t notFound = 0;
  for (int32_t w = 1; w <= neededList.neededCount; ++w) notFound += EntryTerminator(w) != MARK_DONE;
  EXPECT_EQ(neededList.remainingCount, notFound);
}

}  // namespace
}  // namespace pk
