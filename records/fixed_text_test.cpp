#include "records/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace pk {
namespace {

std::string Text(const char* chars, int32_t length) {
  return std::string(chars, length);
}

TEST(AssignTest, ShorterSourceIsBlankPadded) {
  char field[3] = {'x', 'x', 'x'};
  Assign(field, 1, 3, "FD", 1, 2);
  EXPECT_EQ(Text(field, 3), "FD ");
}

TEST(AssignTest, LongerSourceIsCutOnTheRight) {
  char field[9];
  Assign(field, 1, 9, "KERNEL32.FD ", 1, 12);
  EXPECT_EQ(Text(field, 9), "KERNEL32.");
}

TEST(AssignTest, EmptySourceGivesBlanksAndSlicesStayInPlace) {
  char field[7] = {'a', 'b', 'c', 'd', 'e', 'f', 'g'};
  Assign(field, 2, 6, "", 1, 0);
  EXPECT_EQ(Text(field, 7), "a     g");
  Assign(field, 3, 4, "XYZ", 2, 3);
  EXPECT_EQ(Text(field, 7), "a YZ  g");
}

TEST(AssignTest, NegativeLengthEndsTheProcess) {
  char field[4];
  EXPECT_EXIT(Assign(field, 3, 1, "AB", 1, 2), ::testing::ExitedWithCode(1), "run-time error");
}

TEST(TrimmedLengthTest, LeavesOutTrailingBlanksOnly) {
  EXPECT_EQ(TrimmedLength(" A B  ", 6), 4);
  EXPECT_EQ(TrimmedLength("   ", 3), 0);
  EXPECT_EQ(TrimmedLength("A\t", 2), 2);
}

TEST(FoldCaseTest, LowersEveryCodeFrom97To127Only) {
  EXPECT_EQ(FoldCase('a'), 'A');
  EXPECT_EQ(FoldCase('z'), 'Z');
  EXPECT_EQ(FoldCase('|'), '\\');
  EXPECT_EQ(FoldCase('~'), '^');
  EXPECT_EQ(FoldCase(static_cast<char>(127)), '_');
  EXPECT_EQ(FoldCase('A'), 'A');
  EXPECT_EQ(FoldCase('`'), '`');
  EXPECT_EQ(FoldCase(static_cast<char>(233)), static_cast<char>(233));
  EXPECT_EQ(FoldCase(static_cast<char>(128)), static_cast<char>(128));
}

TEST(FoldCaseTest, SixteenAtOnceFoldEveryByteAsOneAtATime) {
  for (int first = 0; first < 256; first += BYTE_VECTOR_SIZE) {
    char chars[BYTE_VECTOR_SIZE];
    for (int i = 0; i < BYTE_VECTOR_SIZE; ++i) chars[i] = static_cast<char>(first + i);
    char folded[BYTE_VECTOR_SIZE];
    StoreBytes(folded, FoldCaseSixteen(LoadBytes(chars)));
    for (int i = 0; i < BYTE_VECTOR_SIZE; ++i)
      EXPECT_EQ(folded[i], FoldCase(chars[i])) << first + i;
  }
}

TEST(CompareTest, TrailingBlanksDoNotCount) {
  EXPECT_EQ(Compare("AB", 2, "AB   ", 5), 0);
  EXPECT_EQ(Compare("AB   ", 5, "AB", 2), 0);
  EXPECT_EQ(Compare("AB", 2, "AB C", 4), -1);
  EXPECT_EQ(Compare("AB C", 4, "AB", 2), 1);
}

TEST(CompareTest, ExtraNulsAndTabsMakeTheLongerOperandGreater) {
  const char one[1] = {'\0'};
  const char four[4] = {'\0', '\0', '\0', '\0'};
  EXPECT_EQ(Compare(one, 1, four, 4), -1);
  EXPECT_EQ(Compare("A\t", 2, "A", 1), 1);
}

TEST(CompareTest, BytesCompareUnsigned) {
  EXPECT_EQ(Compare("a", 1, "Z", 1), 1);
  const char high[1] = {static_cast<char>(200)};
  EXPECT_EQ(Compare(high, 1, "\x7f", 1), 1);
}

TEST(CompareTest, TextEqualFollowsCompare) {
  EXPECT_TRUE(TextEqual("AB", 2, "AB ", 3));
  EXPECT_FALSE(TextEqual("AB", 2, "AC", 2));
}

}  // namespace
}  // namespace pk
