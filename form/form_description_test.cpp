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

std::string RowText(int32_t row) {
  return std::string(state.rows[row].chars, RowPaintCount(state.rows[row]));
}

TEST(FormDescription, SystemFormHasOneCharacterFieldWithOneEntry) {
  ASSERT_EQ(Prepare("cProgram Name^OOPS, EXIT PROGRAM^|"), DescriptionStatus::OK);
  EXPECT_EQ(state.fieldCount, 1);
  EXPECT_EQ(state.textLineCount, 0);
  EXPECT_EQ(state.rowCount, 1);
  EXPECT_EQ(state.formLength, 34);
  EXPECT_EQ(state.fieldType[1], 'C');
  EXPECT_TRUE(state.hasList[1]);
  EXPECT_EQ(state.rowMark[1], LIST_MARK);
  EXPECT_EQ(RowText(1), "Program Name                  ");
  EXPECT_EQ(state.rows[1].At(31), '\0');
  EXPECT_EQ(state.caption[0], '\0');
}

TEST(FormDescription, CaptionAndTextItemsAreNoFieldsButTheirLinesAreRows) {
  ASSERT_EQ(Prepare("HMy caption|TSome text\\|CLabel^|"), DescriptionStatus::OK);
  EXPECT_EQ(state.fieldCount, 1);
  EXPECT_EQ(state.textLineCount, 1);
  EXPECT_EQ(state.rowCount, 2);
  EXPECT_STREQ(state.caption, "My caption");
  EXPECT_EQ(state.fieldRow[1], 2);
  EXPECT_EQ(state.rowMark[2], BLANK);
  EXPECT_FALSE(state.hasList[1]);
}

TEST(FormDescription, LowerCaseTypeLettersAreFolded) {
  ASSERT_EQ(Prepare("iCount^|tline\\|hcap|sPick^a^b^|"), DescriptionStatus::OK);
  EXPECT_EQ(state.fieldCount, 2);
  EXPECT_EQ(state.fieldType[1], 'I');
  EXPECT_EQ(state.fieldType[2], 'S');
  EXPECT_STREQ(state.caption, "cap");
  EXPECT_EQ(state.formText.At(1), 'I');
  EXPECT_EQ(state.formText.At(9), 'T');
  EXPECT_EQ(state.formText.At(10), 'l');  // only type letters are folded
}

TEST(FormDescription, WithoutNulTheWholeTextUpTo1999IsParsedAndBlanksChangeNothing) {
  const char text[] = "CName^|";
  ASSERT_EQ(PrepareForm(state, text, 7), DescriptionStatus::OK);
  EXPECT_EQ(state.formLength, 1999);
  EXPECT_EQ(state.fieldCount, 1);
  EXPECT_EQ(state.rowCount, 1);

  // A separator in position 2000 lies beyond the parsed text.
  static char longText[2000];
  std::memset(longText, ' ', sizeof longText);
  std::memcpy(longText, "TA\\|", 4);
  longText[1999] = '\\';
  ASSERT_EQ(PrepareForm(state, longText, 2000), DescriptionStatus::OK);
  EXPECT_EQ(state.textLineCount, 1);
  longText[1998] = '\\';
  longText[1999] = ' ';
  PrepareForm(state, longText, 2000);
  EXPECT_EQ(state.textLineCount, 2);
}

TEST(FormDescription, EmptyOrMissingDescriptionIsAFormWithoutFields) {
  EXPECT_EQ(PrepareForm(state, nullptr, 40), DescriptionStatus::OK);
  EXPECT_EQ(state.fieldCount, 0);
  EXPECT_EQ(state.rowCount, 0);
  EXPECT_EQ(PrepareForm(state, "CA^|", -3), DescriptionStatus::OK);
  EXPECT_EQ(state.fieldCount, 0);
}

TEST(FormDescription, PreparingAFormForgetsAnEarlierConfirmation) {
  state.confirmed = true;
  Prepare("CA^|");
  EXPECT_FALSE(state.confirmed);
}

TEST(FormDescription, TextLinesAreCentredInSixtyColumns) {
  const std::string twenty(20, 'x');
  const std::string fiftyNine(59, 'y');
  const std::string seventy(70, 'z');
  ASSERT_EQ(Prepare("T" + twenty + "\\" + fiftyNine + "\\" + seventy + "\\|"),
            DescriptionStatus::OK);
  EXPECT_EQ(RowText(1), std::string(20, ' ') + twenty + std::string(20, ' '));
  EXPECT_EQ(RowText(2), fiftyNine + " ");
  EXPECT_EQ(RowText(3), std::string(60, 'z'));
}

TEST(FormDescription, LineInsideAFieldItemIsTheRowAboveTheField) {
  ASSERT_EQ(Prepare("CHeading\\Label^|"), DescriptionStatus::OK);
  EXPECT_EQ(state.rowCount, 2);
  EXPECT_EQ(RowText(1).find("Heading"), 26u);
  EXPECT_EQ(state.fieldRow[1], 2);
}

TEST(FormDescription, LongLabelIsCutAtThirty) {
  ASSERT_EQ(Prepare("C" + std::string(45, 'L') + "^|"), DescriptionStatus::OK);
  EXPECT_EQ(RowText(1), std::string(30, 'L'));
}

TEST(FormDescription, ButtonRowsFillTheButtonTablesAndAreNotPainted) {
  ASSERT_EQ(Prepare("BOne^Two^Three^|CName^|BYes^No^|"), DescriptionStatus::OK);
  EXPECT_EQ(state.fieldCount, 3);
  EXPECT_EQ(state.buttonTotal, 5);
  EXPECT_EQ(state.fieldType[1], 'B');
  EXPECT_EQ(state.rowButtonCount[1], 3);
  EXPECT_EQ(state.rowFirstButton[1], 0);
  EXPECT_EQ(state.rowButtonCount[3], 2);
  EXPECT_EQ(state.rowFirstButton[3], 3);
  EXPECT_EQ(state.buttonField[1], 1);
  EXPECT_EQ(state.buttonField[3], 1);
  EXPECT_EQ(state.buttonField[4], 3);
  EXPECT_EQ(state.buttonField[5], 3);
  EXPECT_STREQ(state.buttonCaptions[1].chars, "Yes");
  EXPECT_STREQ(state.buttonCaptions[2].chars, "No");
  EXPECT_EQ(RowPaintCount(state.rows[1]), 0);
  EXPECT_EQ(state.rowMark[1], BLANK);
}

// Records what the walk asks the window side to create.
struct Recorder {
  std::string log;
};

void RecordListBox(void* context, FormState&, int32_t field, int32_t row, char type) {
  static_cast<Recorder*>(context)->log +=
      "box" + std::to_string(field) + "@" + std::to_string(row) + type + ";";
}
void RecordEntry(void* context, FormState& s, int32_t field) {
  static_cast<Recorder*>(context)->log +=
      "entry" + std::to_string(field) + "=" + s.scratch.chars + ";";
}
void RecordButtons(void* context, FormState& s, int32_t field, int32_t row) {
  auto* recorder = static_cast<Recorder*>(context);
  recorder->log += "buttons" + std::to_string(field) + "@" + std::to_string(row);
  for (int32_t j = 1; j <= s.rowButtonCount[field]; ++j) {
    recorder->log += std::string(":") + s.buttonCaptions[j].chars;
  }
  recorder->log += ";";
}
void RecordCaption(void* context, FormState& s) {
  static_cast<Recorder*>(context)->log += std::string("caption=") + s.caption + ";";
}

std::string Walk(const std::string& text) {
  Recorder recorder;
  const FormBuilder builder{&recorder, RecordListBox, RecordEntry, RecordButtons, RecordCaption};
  EXPECT_EQ(Prepare(text), DescriptionStatus::OK);
  EXPECT_EQ(WalkDescription(state, &builder), DescriptionStatus::OK);
  return recorder.log;
}

TEST(FormDescription, WalkCreatesControlsInDescriptionOrder) {
  EXPECT_EQ(Walk("TTop\\|RRate^1.5^2.5^|BGo^Stop^|SPick^x^|HTitle|"),
            "box1@2R;entry1=1.5;entry1=2.5;buttons2@3:Go:Stop;box3@4S;entry3=x;caption=Title;");
}

TEST(FormDescription, OverlongTextsAreCutToTheirRoom) {
  const std::string log = Walk("B" + std::string(40, 'b') + "^|C^" + std::string(100, 'e') + "^|H" +
                               std::string(90, 'h') + "|");
  EXPECT_NE(log.find("buttons1@1:" + std::string(29, 'b') + ";"), std::string::npos);
  EXPECT_NE(log.find("entry2=" + std::string(79, 'e') + ";"), std::string::npos);
  EXPECT_EQ(std::strlen(state.caption), 80u);
}

TEST(FormDescription, LoadAndStoreCopyOnlyTheFieldsOfTheForm) {
  ASSERT_EQ(Prepare("IA^|LB^|"), DescriptionStatus::OK);
  int8_t choices[3] = {4, 5, 6};
  FieldValue values[3] = {};
  values[0].shortValue = 11;
  values[1].longValue = 22;
  values[2].longValue = 33;
  LoadFieldValues(state, choices, values);
  EXPECT_EQ(state.choice[2], 5);
  EXPECT_EQ(state.value[1].shortValue, 11);
  state.choice[1] = 0;
  state.value[2].longValue = -7;
  StoreFieldValues(state, choices, values);
  EXPECT_EQ(choices[0], 0);
  EXPECT_EQ(values[1].longValue, -7);
  EXPECT_EQ(choices[2], 6);
  EXPECT_EQ(values[2].longValue, 33);
}

TEST(FormDescription, BrokenItemRulesAreRefused) {
  EXPECT_EQ(Prepare("CName|"), DescriptionStatus::FIELD_WITHOUT_LABEL);
  EXPECT_EQ(Prepare("CA|TB^|"), DescriptionStatus::FIELD_WITHOUT_LABEL);
  EXPECT_EQ(Prepare("XName^|"), DescriptionStatus::UNKNOWN_ITEM);
  EXPECT_EQ(Prepare("TLine^|"), DescriptionStatus::SEGMENT_OUTSIDE_FIELD);
  EXPECT_EQ(Prepare("CA^|CB^"), DescriptionStatus::UNCLOSED_ITEM);
  EXPECT_EQ(Prepare("TLine\\"), DescriptionStatus::UNCLOSED_ITEM);
  EXPECT_EQ(Prepare("CA^||"), DescriptionStatus::UNCLOSED_ITEM);
  EXPECT_EQ(Prepare("CA^||CB^|"), DescriptionStatus::UNKNOWN_ITEM);
}

std::string Repeat(const std::string& item, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += item;
  return text;
}

TEST(FormDescription, LimitsAreHeldAndOneMoreIsRefused) {
  EXPECT_EQ(Prepare(Repeat("CA^|", 20)), DescriptionStatus::OK);
  EXPECT_EQ(Prepare(Repeat("CA^|", 21)), DescriptionStatus::TOO_MANY_FIELDS);
  EXPECT_EQ(Prepare("T" + Repeat("x\\", 5) + "|" + Repeat("CA^|", 20)), DescriptionStatus::OK);
  EXPECT_EQ(Prepare("T" + Repeat("x\\", 6) + "|" + Repeat("CA^|", 20)),
            DescriptionStatus::TOO_MANY_ROWS);
  EXPECT_EQ(Prepare("B" + Repeat("b^", 8) + "|"), DescriptionStatus::OK);
  EXPECT_EQ(Prepare("B" + Repeat("b^", 9) + "|"), DescriptionStatus::TOO_MANY_BUTTONS);
  EXPECT_EQ(Prepare(Repeat("B" + Repeat("b^", 8) + "|", 2)), DescriptionStatus::OK);
  EXPECT_EQ(Prepare(Repeat("B" + Repeat("b^", 8) + "|", 2) + "Bb^|"),
            DescriptionStatus::TOO_MANY_BUTTONS);
  EXPECT_EQ(Prepare("SA^" + Repeat("e^", 127) + "|"), DescriptionStatus::OK);
  EXPECT_EQ(Prepare("SA^" + Repeat("e^", 128) + "|"), DescriptionStatus::TOO_MANY_ENTRIES);
}

}  // namespace
}  // namespace pk
