#include "extract/free_form_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace pk {
namespace {

bool Collect(void* context, const char* chars, int32_t length) {
  *static_cast<std::string*>(context) += std::string(chars, static_cast<size_t>(length)) + " ";
  return true;
}

// The words of `lines` ("\n" ends each line but perhaps the last), the lines
// handed over in pieces of `pieceLength` characters.
std::string Words(const std::string& lines, size_t pieceLength) {
  std::string words;
  FreeFormScanner scanner;
  StartFreeFormScan(scanner, Collect, &words);
  for (size_t start = 0; start < lines.size();) {
    const size_t end = std::min(lines.find('\n', start), lines.size());
    for (size_t at = start; at < end; at += pieceLength) {
      const size_t count = std::min(pieceLength, end - at);
      EXPECT_TRUE(ScanFreeFormPiece(scanner, lines.data() + at, static_cast<int32_t>(count)));
    }
    if (end < lines.size()) {
      EXPECT_TRUE(EndFreeFormLine(scanner));
    }
    start = end + 1;
  }
  EXPECT_TRUE(EndFreeFormSource(scanner));
  return words;
}

TEST(FreeFormScan, GivesTheWordsOfEveryColumn) {
  const std::string longLine = std::string(150, ' ') + "Far" + std::string(100, '-') + "Farther";
  const struct {
    const char* what;
    std::string lines;
    const char* words;
  } cases[] = {
      {"column 1, folded", "call Beep(1)\nC = x\n", "CALL BEEP 1 C X "},
      {"columns past 132", longLine + "\n", "FAR FARTHER "},
      {"a word past 80 characters is no symbol", std::string(81, 'A') + " B\n", "B "},
      {"! comment", "x = GetDC(h) ! ReleaseDC\n! Sleep\ny\n", "X GETDC H Y "},
      {"! in constants", "s = 'a!b' // \"c!d\" // 'it''s!' ! Beep\n", "S A B C D IT S "},
      {"& joins a split word", "CALL Get&\n   &TickCount()\n", "CALL GETTICKCOUNT "},
      {"& over blank and comment lines", "x = Get&  ! split\n\n  ! note\n  &DC(1)\n", "X GETDC 1 "},
      {"& without & on the next line", "CALL Get&\n TickCount()\n", "CALL GET TICKCOUNT "},
      {"& after a blank", "CALL Get &\n&DC\n", "CALL GET DC "},
      {"& inside a line", "a&b\n", "A B "},
      {"constant continued", "s = 'x! &\n  &y' ; Beep ! z\n", "S X Y BEEP "},
      {"constant ends with its line", "s = 'x\nBeep ! z\n", "S X BEEP "},
      {"no line end at the source's end", "x = Get&", "X GET "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Words(c.lines, 4096), c.words) << c.what;
    EXPECT_EQ(Words(c.lines, 3), c.words) << c.what << " (in pieces)";
  }
}

bool StopAtSecond(void* context, const char*, int32_t) {
  return ++*static_cast<int*>(context) < 2;
}

TEST(FreeFormScan, SinkStopsTheScan) {
  int given = 0;
  FreeFormScanner scanner;
  StartFreeFormScan(scanner, StopAtSecond, &given);
  EXPECT_FALSE(ScanFreeFormPiece(scanner, "a b c d", 7));
  EXPECT_EQ(given, 2);
}

}  // namespace
}  // namespace pk
