#include "batch/closest_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/master_list.h"
#include "extract/symbol_table.h"

namespace pk {
namespace {

TEST(CountEdits, CountsTheEditsToTheNameAndToItsClosestPrefix) {
  const struct {
    const char* symbol;
    const char* name;
    int32_t limit;
    int32_t prefixEdits;
    int32_t edits;
  } cases[] = {
      {"RECT", "RECT", 1, 0, 0},
      {"MESAGEBOX", "MESSAGEBOX", 2, 1, 1},
      {"MESAGEBOX", "MESSAGEBOXEXA", 2, 1, 3},    // 4 to the whole name: above the limit
      {"GETTICKCUONT", "GETTICKCOUNT", 3, 1, 1},  // two neighbours swapped
      {"GETTICKCOUNT", "GETTICKCOUNT64", 3, 0, 2},
      {"RCET", "RECTANGLE", 1, 1, 2},
      {"ABCD", "WXYZ", 4, 4, 4},
      {"ABCD", "WXYZ", 1, 2, 2},
      {"ABC", "", 2, 3, 3},
      {"", "ABC", 4, 0, 3},
  };
  for (const auto& c : cases) {
    const NameEdits counted =
        CountEdits(c.symbol, static_cast<int32_t>(std::string(c.symbol).size()), c.name,
                   static_cast<int32_t>(std::string(c.name).size()), c.limit);
    EXPECT_EQ(counted.prefixEdits, c.prefixEdits) << c.symbol << " " << c.name;
    EXPECT_EQ(counted.edits, c.edits) << c.symbol << " " << c.name;
  }
  EXPECT_EQ(EditLimit(3), 1);
  EXPECT_EQ(EditLimit(9), 2);
  EXPECT_EQ(EditLimit(40), 4);
}

// The names offered, best first: the fewest prefix edits, then edits, then
// the shorter name, then the one offered first; needs lines, entries no
// identifier equals and later duplicates are no names; six at most.
TEST(OfferMasterEntries, KeepsTheClosestNamesOfTheListBestFirst) {
  ClearEntries();
  for (const char* entry : {"MESSAGEBOXEXA", "MESSAGEBOXW", "+MESSAGEBOX", "MESSAGEBOX",
                            "MESSAGEBOXA", "MESSAGEBOX", "MESSAGEBEEP", "MESAGE-BOX",
                            "MESSAGEBOXTIMEOUTW", "MESSAGEBOXINDIRECTA", "MESSAGEBOXEXW"}) {
    ASSERT_TRUE(AppendEntry(entry, static_cast<int32_t>(std::string(entry).size())));
  }
  IndexMasterEntries();
  CloseNames close = {};
  OfferMasterEntries(close, "MESAGEBOX", 9, SymbolKind::FI);
  std::vector<std::string> names;
  for (int32_t n = 0; n < close.count; ++n) {
    names.push_back(
        std::string(EntryText(close.names[n].entry), static_cast<size_t>(close.names[n].length)));
    EXPECT_EQ(close.names[n].kind, SymbolKind::FI);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"MESSAGEBOX", "MESSAGEBOXW", "MESSAGEBOXA", "MESSAGEBOXEXA",
                                      "MESSAGEBOXEXW", "MESSAGEBOXTIMEOUTW"}));
}

}  // namespace
}  // namespace pk
