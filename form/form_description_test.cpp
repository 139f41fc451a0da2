#include "form/form_description.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pk {
namespace {

FormState state;

DescriptionStatus Prepare(const std::string& text) {
  return PrepareForm(state, text.c_str(), static_cast<int32_t>(text.size()) + 1);
}

std::string Row(int32_t row) {
  return std::string(state.rows[row].chars, RowPaintCount(state.rows[row]));
}

std::string Repeat(const std::string& text, int count) {
  std::string result;
  while (count-- > 0) result += text;
  return result;
}

TEST(FormDescription, CountsFieldsTextLinesAndParsedLength) {
  struct Case {
    const char* text;
    int32_t length, fields, lines, formLength;
  } cases[] = {
      {"cProgram Name^OOPS, EXIT PROGRAM^|", 35, 1, 0, 34},
      {"HMy caption|TSome text\\|CLabel^|", 33, 1, 1, 32},
      {"iCount^|tline\\|hcap|sPick^a^b^|", 32, 2, 1, 31},
      {"CName^|", 7, 1, 0, 1999},  // no NUL: the blank padding is parsed too
  };
  for (const Case& c : cases) {
    ASSERT_EQ(PrepareForm(state, c.text, c.length), DescriptionStatus::OK) << c.text;
    EXPECT_EQ(state.fieldCount, c.fields) << c.text;
    EXPECT_EQ(state.textLineCount, c.lines) << c.text;
    EXPECT_EQ(state.rowCount, c.fields + c.lines) << c.text;
    EXPECT_EQ(state.formLength, c.formLength) << c.text;
  }
  // Lower-case type letters are folded; other letters are not.
  EXPECT_EQ(state.fieldType[1], 'C');
  ASSERT_EQ(Prepare("iCount^|tline\\|hcap|sPick^a^b^|"), DescriptionStatus::OK);
  EXPECT_EQ(state.fieldType[1], 'I');
  EXPECT_EQ(state.fieldType[2], 'S');
  EXPECT_STREQ(state.caption, "cap");
  EXPECT_EQ(std::string(state.formText.chars, 11), "ICount^|Tli");

  // A separator in position 2000 lies beyond the parsed text.
  static char text[2000];
  std::memset(text, ' ', sizeof text);
  std::memcpy(text, "TA\\|", 4);
  text[1998] = text[1999] = '\\';
  PrepareForm(state, text, 2000);
  EXPECT_EQ(state.textLineCount, 2);
}

TEST(FormDescription, RowsHoldLabelsAndCentredLines) {
  ASSERT_EQ(Prepare("T" + std::string(20, 'x') + "\\" + std::string(59, 'y') + "\\" +
                    std::string(70, 'z') + "\\|CHead\\Program Name^OOPS^|C" + std::string(45, 'L') +
                    "^|"),
            DescriptionStatus::OK);
  EXPECT_EQ(Row(1), std::string(20, ' ') + std::string(20, 'x') + std::string(20, ' '));
  EXPECT_EQ(Row(2), std::string(59, 'y') + " ");  // (60 - 59) / 2 rounds down
  EXPECT_EQ(Row(3), std::string(60, 'z'));
  EXPECT_EQ(Row(4), std::string(28, ' ') + "Head" + std::string(28, ' '));
  EXPECT_EQ(Row(5), "Program Name" + std::string(18, ' '));
  EXPECT_EQ(Row(6), std::string(30, 'L'));
  EXPECT_EQ(state.fieldRow[1], 5);
  EXPECT_EQ(state.rowMark[5], LIST_MARK);
  EXPECT_EQ(state.rowMark[6], BLANK);
  EXPECT_TRUE(state.hasList[1]);
  EXPECT_FALSE(state.hasList[2]);
}

TEST(FormDescription, ButtonRowsFillTheButtonTablesAndAreNotPainted) {
  ASSERT_EQ(Prepare("BOne^Two^Three^|CName^|BYes^No^|"), DescriptionStatus::OK);
  EXPECT_EQ(state.buttonTotal, 5);
  EXPECT_EQ(state.fieldType[1], 'B');
  EXPECT_EQ(state.rowButtonCount[1], 3);
  EXPECT_EQ(state.rowFirstButton[1], 0);
  EXPECT_EQ(state.rowButtonCount[3], 2);
  EXPECT_EQ(state.rowFirstButton[3], 3);
  const int32_t owners[] = {0, 1, 1, 1, 3, 3};
  for (int32_t b = 1; b <= 5; ++b) EXPECT_EQ(state.buttonField[b], owners[b]);
  EXPECT_STREQ(state.buttonCaptions[2].chars, "No");
  EXPECT_EQ(Row(1), "");
  EXPECT_EQ(state.rowMark[1], BLANK);
}

std::string log;
void LogBox(void*, FormState&, int32_t field, int32_t row, char type) {
  log += "box" + std::to_string(field) + "@" + std::to_string(row) + type + ";";
}
void LogEntry(void*, FormState& s, int32_t field) {
  log += "entry" + std::to_string(field) + "=" + s.scratch.chars + ";";
}
void LogButtons(void*, FormState& s, int32_t field, int32_t row) {
  log += "buttons" + std::to_string(field) + "@" + std::to_string(row);
  for (int32_t j = 1; j <= s.rowButtonCount[field]; ++j)
    log += ":" + std::string(s.buttonCaptions[j].chars);
  log += ";";
}
void LogCaption(void*, FormState& s) {
  log += "caption=" + std::string(s.caption) + ";";
}

TEST(FormDescription, WalkAsksForControlsInOrderWithTextsCutToTheirRoom) {
  const FormBuilder builder{nullptr, LogBox, LogEntry, LogButtons, LogCaption};
  ASSERT_EQ(Prepare("TTop\\|RRate^1.5^2.5^|BGo^" + std::string(40, 'b') + "^|SPick^" +
                    std::string(100, 'e') + "^|H" + std::string(90, 'h') + "|"),
            DescriptionStatus::OK);
  log.clear();
  EXPECT_EQ(WalkDescription(state, &builder), DescriptionStatus::OK);
  EXPECT_EQ(log, "box1@2R;entry1=1.5;entry1=2.5;buttons2@3:Go:" + std::string(29, 'b') +
                     ";box3@4S;entry3=" + std::string(79, 'e') +
                     ";caption=" + std::string(80, 'h') + ";");
}

TEST(FormDescription, BrokenDescriptionsAndOverfullTablesAreRefused) {
  using S = DescriptionStatus;
  const std::string eightButtons = "B" + Repeat("b^", 8) + "|";
  const struct {
    std::string text;
    DescriptionStatus status;
  } cases[] = {
      {"CName|", S::FIELD_WITHOUT_LABEL},
      {"CA|TB^|", S::FIELD_WITHOUT_LABEL},
      {"XName^|", S::UNKNOWN_ITEM},
      {"CA^||CB^|", S::UNKNOWN_ITEM},
      {"TLine^|", S::SEGMENT_OUTSIDE_FIELD},
      {"CA^|CB^", S::UNCLOSED_ITEM},
      {"TLine\\", S::UNCLOSED_ITEM},
      {Repeat("CA^|", 20), S::OK},
      {Repeat("CA^|", 21), S::TOO_MANY_FIELDS},
      {"T" + Repeat("x\\", 5) + "|" + Repeat("CA^|", 20), S::OK},
      {"T" + Repeat("x\\", 6) + "|" + Repeat("CA^|", 20), S::TOO_MANY_ROWS},
      {eightButtons + eightButtons, S::OK},
      {"B" + Repeat("b^", 9) + "|", S::TOO_MANY_BUTTONS},
      {eightButtons + eightButtons + "Bb^|", S::TOO_MANY_BUTTONS},
      {"SA^" + Repeat("e^", 127) + "|", S::OK},
      {"SA^" + Repeat("e^", 128) + "|", S::TOO_MANY_ENTRIES},
  };
  for (const auto& c : cases) EXPECT_EQ(Prepare(c.text), c.status) << c.text;
}

TEST(FormDescription, PreparingAFormForgetsAnEarlierConfirmation) {
  state.confirmed = true;
  EXPECT_EQ(PrepareForm(state, nullptr, 40), DescriptionStatus::OK);
  EXPECT_FALSE(state.confirmed);
  EXPECT_EQ(state.fieldCount, 0);
}

}  // namespace
}  // namespace pk
