#include "extract/master_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "extract/symbol_table.h"
#include "testing/files.h"
#include "testing/list_walks.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

using testing::ScratchDirectory;
using testing::WriteWholeFile;

std::string Entry(int32_t j) {
  return std::string(EntryText(j), static_cast<size_t>(symbolTable.entryLength[j]));
}

TEST(LoadMasterList, TakesTheFoldedFirstWordOfEveryLineNotStartingWithABlank) {
  ScratchDirectory scratch;
  const std::string word80(80, 'w');
  WriteWholeFile("MASTERFI.LIS",
                 "GetDC   remark\r\n"
                 "  IGNORED\r\n"
                 "\r\n"
                 "tab\tbed rest\n" +
                     word80 +
                     "xyz\r\n"
                     "GETDC\r\n");
  ASSERT_EQ(LoadMasterList("MASTERFI.LIS", 12).end, StepEnd::DONE);
  ASSERT_EQ(symbolTable.entryCount, 4);
  EXPECT_EQ(Entry(1), "GETDC");
  EXPECT_EQ(Entry(2), "TAB\tBED");
  EXPECT_EQ(Entry(3), std::string(80, 'W'));
  EXPECT_EQ(Entry(4), "GETDC");
  EXPECT_EQ(EntryTerminator(3), ' ');
  EXPECT_EQ(symbolTable.entryStart[4], symbolTable.nextFree);
  // The first of equal entries is the one found; the tab entry never matches.
  EXPECT_EQ(LookUpIdentifier("GETDC", 5), 1);
  EXPECT_EQ(LookUpIdentifier("TAB", 3), 0);
}

// The loaded entries as the list spells them, each the length it was loaded
// with, up to the entry whose spelling stops the reading.
TEST(SpellMasterEntries, PassesEachLoadedEntryAsTheListSpellsIt) {
  ScratchDirectory scratch;
  WriteWholeFile("MASTERFD.LIS", "PaintStruct USER32\r\n  skipped\r\n+Rect\r\nrect\r\nLast\r\n");
  ASSERT_EQ(LoadMasterList("MASTERFD.LIS", 12).end, StepEnd::DONE);
  std::vector<std::string> spelt;
  const auto keep = [](void* context, int32_t entry, const char* chars, int32_t length) {
    auto& texts = *static_cast<std::vector<std::string>*>(context);
    texts.push_back(std::to_string(entry) + " " + std::string(chars, static_cast<size_t>(length)));
    return entry < 3;
  };
  EXPECT_EQ(SpellMasterEntries("MASTERFD.LIS", 12, keep, &spelt), IO_END_OF_FILE);
  EXPECT_EQ(spelt, (std::vector<std::string>{"1 PaintStruct", "2 +Rect", "3 rect"}));
  EXPECT_EQ(SpellMasterEntries("NOLIST.LIS", 10, keep, &spelt), IO_FILE_NOT_FOUND);
}

TEST(LoadMasterList, StopsAtTheFirstEntryBeyondFiftyThousand) {
  ScratchDirectory scratch;
  std::string list;
  for (int i = 1; i <= MAX_SYMBOLS + 2; ++i) list += "S" + std::to_string(i) + "\r\n";
  WriteWholeFile("MASTERFI.LIS", list);
  ASSERT_EQ(LoadMasterList("MASTERFI.LIS", 12).end, StepEnd::DONE);
  EXPECT_EQ(symbolTable.entryCount, MAX_SYMBOLS);
  EXPECT_EQ(LookUpIdentifier("S50000", 6), MAX_SYMBOLS);
  EXPECT_EQ(LookUpIdentifier("S50001", 6), 0);
}

TEST(LoadMasterList, StopsAtTheFirstEntryBeyondTheStore) {
  ScratchDirectory scratch;
  // 80 characters and a terminator each: 18518 entries fill 1,499,958 positions.
  std::string list;
  for (int i = 0; i < 18600; ++i) {
    const std::string number = std::to_string(100000 + i);
    list += number + std::string(80 - number.size(), 'X') + "\r\n";
  }
  WriteWholeFile("MASTERFI.LIS", list);
  ASSERT_EQ(LoadMasterList("MASTERFI.LIS", 12).end, StepEnd::DONE);
  EXPECT_EQ(symbolTable.entryCount, WORK_STORE_SIZE / 81);
  EXPECT_LE(symbolTable.nextFree - 1, WORK_STORE_SIZE);
}

// The index must give exactly what the walk gives, for duplicates, marked
// entries, entries that can never match and identifiers of every length.
TEST(LookUpIdentifier, AgreesWithTheWalkOnRandomTables) {
  std::mt19937 random(20261208);
  const std::string alphabet = "ABC_19*\t";
  auto word = [&](int maxLength, int letters) {
    std::string w(1 + random() % maxLength, ' ');
    for (char& c : w) c = alphabet[random() % letters];
    return w;
  };
  for (int round = 0; round < 20; ++round) {
    ClearEntries();
    for (int i = 0; i < 3000; ++i) {
      const std::string w = word(4, static_cast<int>(alphabet.size()));
      ASSERT_TRUE(AppendEntry(w.data(), static_cast<int32_t>(w.size())));
      if (random() % 3 == 0) EntryTerminator(symbolTable.entryCount) = MARK_DONE;
    }
    IndexMasterEntries();
    for (int i = 0; i < 3000; ++i) {
      const std::string id = word(5, 6);  // identifier characters only
      const auto length = static_cast<int32_t>(id.size());
      ASSERT_EQ(LookUpIdentifier(id.data(), length),
                testing::LookUpIdentifierByWalk(id.data(), length))
          << id;
    }
  }
}

// A full table of distinct entries, whose probes run on over full buckets:
// every entry is found at its own number, and a word one character longer is
// not found.
TEST(LookUpIdentifier, FindsEveryEntryOfAFullTable) {
  ClearEntries();
  for (int32_t j = 1; j <= MAX_SYMBOLS; ++j) {
    const std::string name = "N" + std::to_string(j);
    ASSERT_TRUE(AppendEntry(name.data(), static_cast<int32_t>(name.size())));
  }
  IndexMasterEntries();
  for (int32_t j = 1; j <= MAX_SYMBOLS; ++j) {
    const std::string name = "N" + std::to_string(j);
    const std::string longer = name + "_";
    ASSERT_EQ(LookUpIdentifier(name.data(), static_cast<int32_t>(name.size())), j);
    ASSERT_EQ(LookUpIdentifier(longer.data(), static_cast<int32_t>(longer.size())), 0);
  }
}

}  // namespace
}  // namespace pk
