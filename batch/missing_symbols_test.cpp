#include "batch/missing_symbols.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/files.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

using testing::CrLf;
using testing::ScratchDirectory;
using testing::WriteWholeFile;

MissingSymbols missing;

// The observer told of `words` (folded) not found among `needed` FI words,
// and of the FI library in `cutSlot` (-1: none) cut short.
void Observe(std::initializer_list<const char*> words, int32_t needed, int32_t cutSlot = -1) {
  const JobObserver observer = ObserveMissingSymbols(missing);
  observer.kindCopied(observer.context, SymbolKind::FD, 0, 0, 0);
  observer.kindCopied(observer.context, SymbolKind::FI, needed, 0,
                      static_cast<int32_t>(words.size()));
  if (cutSlot >= 0) observer.libraryCutShort(observer.context, SymbolKind::FI, cutSlot);
  for (const char* word : words) {
    const std::string text = word;
    const bool notWritten = text[0] == '!';
    const std::string name = notWritten ? text.substr(1) : text;
    observer.notFound(observer.context, SymbolKind::FI, name.data(),
                      static_cast<int32_t>(name.size()), nullptr, 0, notWritten);
  }
}

TEST(ExplainMissingSymbols, NamesEachSymbolsReason) {
  ScratchDirectory scratch;
  WriteWholeFile("MASTERFI.LIS",
                 CrLf({"wsprintfA USER32", "Early USER32", "Loose", "Far LZ32", "Cut USER32",
                       "Long USER32", "Gone KERNEL32", "Unreached GDI32", "Stray", "Elsewhere"}));
  WriteWholeFile(
      "USER32.FI",
      CrLf({"C     Early: a reason line before a block is not read", "C*Cut", "      INTEGER Cut",
            "C     wsprintfA:", "C       not translated:", "C         variable argument list",
            "C     Long: " + std::string(300, 'x')}));
  WriteWholeFile("LZ32.FI", CrLf({"C*Other"}));
  // Copied up to a block that could not be written: the blocks after it
  // were not met, wherever the master list says they are.
  WriteWholeFile("GDI32.FI", CrLf({"C*Written", "C*unreached", "c*STRAY extra words"}));
  WriteWholeFile("COMDLG32.FI", CrLf({"C*Elsewhere"}));
  FileFaults faults = {};
  NoteFileFault(faults, FileOperation::READ, "LZ32.FI", 7, IO_READ_FAILED, true);
  Observe({"WSPRINTFA", "EARLY", "LOOSE", "FAR", "!CUT", "LONG", "GONE", "UNREACHED", "STRAY",
           "ELSEWHERE"},
          12, 1);
  ExplainMissingSymbols(missing, faults, CURRENT_DIRECTORY);

  const struct {
    const char* name;
    MissingReason reason;
    const char* library;
    std::string detail;
  } expected[] = {
      {"wsprintfA", MissingReason::LISTED_WITHOUT_BLOCK, "USER32.FI",
       "not translated: variable argument list"},
      {"Early", MissingReason::NO_BLOCK, "USER32.FI", ""},
      {"Loose", MissingReason::NO_BLOCK, "", ""},
      {"Far", MissingReason::LIBRARY_NOT_READ, "LZ32.FI", ""},
      {"Cut", MissingReason::NOT_WRITTEN, "USER32.FI", ""},
      {"Long", MissingReason::LISTED_WITHOUT_BLOCK, "USER32.FI",
       std::string(MISSING_DETAIL_LENGTH, 'x')},
      {"Gone", MissingReason::LIBRARY_MISSING, "KERNEL32.FI", ""},
      {"Unreached", MissingReason::LIBRARY_NOT_COPIED, "GDI32.FI", ""},
      {"Stray", MissingReason::LIBRARY_NOT_COPIED, "GDI32.FI", ""},
      {"Elsewhere", MissingReason::NO_BLOCK, "", ""},
  };
  ASSERT_EQ(missing.count, 10);
  for (int32_t i = 0; i < missing.count; ++i) {
    const MissingSymbol& symbol = missing.symbols[i];
    const auto& e = expected[i];
    EXPECT_EQ(std::string(symbol.name, static_cast<size_t>(symbol.nameLength)), e.name);
    EXPECT_EQ(symbol.reason, e.reason) << e.name;
    EXPECT_EQ(std::string(symbol.library.chars, static_cast<size_t>(TrimmedLength(
                                                    symbol.library.chars, LIBRARY_NAME_LENGTH))),
              e.library)
        << e.name;
    EXPECT_EQ(std::string(symbol.detail, static_cast<size_t>(symbol.detailLength)), e.detail)
        << e.name;
  }
  EXPECT_TRUE(missing.libraryMissing[static_cast<int>(SymbolKind::FI)][2]);  // KERNEL32.FI
  EXPECT_FALSE(missing.libraryMissing[static_cast<int>(SymbolKind::FI)][0]);
  EXPECT_FALSE(missing.libraryMissing[static_cast<int>(SymbolKind::FD)][2]);
  EXPECT_TRUE(AnythingMissing(missing));
}

TEST(ExplainMissingSymbols, SpellsTheSymbolAndTheEntryThatNeedsItAsTheMasterList) {
  ScratchDirectory scratch;
  WriteWholeFile("MASTERFD.LIS", CrLf({"PaintStruct USER32", "+RECT", "Rect USER32"}));
  const JobObserver observer = ObserveMissingSymbols(missing);
  observer.kindCopied(observer.context, SymbolKind::FD, 1, 1, 1);
  observer.notFound(observer.context, SymbolKind::FD, "RECT", 4, "PAINTSTRUCT", 11, false);
  ExplainMissingSymbols(missing, FileFaults{}, CURRENT_DIRECTORY);
  ASSERT_EQ(missing.count, 1);
  const MissingSymbol& symbol = missing.symbols[0];
  EXPECT_EQ(std::string(symbol.name, static_cast<size_t>(symbol.nameLength)), "Rect");
  EXPECT_EQ(std::string(symbol.neededBy, static_cast<size_t>(symbol.neededByLength)),
            "PaintStruct");
}

TEST(ExplainMissingSymbols, CountsWhatItCannotTellAndNothingWhenAllWereFound) {
  ScratchDirectory scratch;
  Observe({}, 3);
  ExplainMissingSymbols(missing, FileFaults{}, CURRENT_DIRECTORY);
  EXPECT_FALSE(AnythingMissing(missing));

  const JobObserver observer = ObserveMissingSymbols(missing);
  for (int32_t i = 0; i <= MAX_TOLD_MISSING; ++i) {
    observer.notFound(observer.context, SymbolKind::FD, "X", 1, nullptr, 0, false);
  }
  EXPECT_EQ(missing.count, MAX_TOLD_MISSING);
  EXPECT_EQ(missing.untold, 1);
}

}  // namespace
}  // namespace pk
