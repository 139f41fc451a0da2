#include "form/form_layout.h"

#include <gtest/gtest.h>

#include "form/form_description.h"

namespace pk {
namespace {

FormState state;

// A form of `rows` rows measured with a font of 8 x `lineHeight` pixels.
void Measure(int32_t rows, int32_t lineHeight = 16) {
  state.rowCount = rows;
  SetLayoutUnits(state, 8, lineHeight - 2, 2);
}

void ExpectRect(const PixelRect& rect, int32_t x, int32_t y, int32_t width, int32_t height) {
  EXPECT_EQ(rect.x, x);
  EXPECT_EQ(rect.y, y);
  EXPECT_EQ(rect.width, width);
  EXPECT_EQ(rect.height, height);
}

TEST(FormLayout, UpToTenRowsUseTheWideFactors) {
  Measure(10);
  EXPECT_EQ(state.charWidth, 8);
  EXPECT_EQ(state.lineHeight, 16);
  EXPECT_EQ(state.lineSpacing, 2.0f);
  EXPECT_EQ(state.itemHeight, 1.75f);
  EXPECT_EQ(state.topOffset, 1.0f);
  Measure(11);
  EXPECT_EQ(state.lineSpacing, 1.2f);
  EXPECT_EQ(state.itemHeight, 1.2f);
  EXPECT_EQ(state.topOffset, 0.0f);
}

TEST(FormLayout, OneRowFormPositions) {
  Measure(1);
  ExpectRect(FormWindowRect(state), 0, 0, 512, 160);
  EXPECT_EQ(RowTextPosition(state, 0).x, 8);
  EXPECT_EQ(RowTextPosition(state, 0).y, 16);
  ExpectRect(ListBoxRect(state, 0), 240, 16, 240, 168);
  EXPECT_EQ(ListMarkPosition(state, 0).x, 485);
  EXPECT_EQ(ListMarkPosition(state, 0).y, 20);
  ExpectRect(OkButtonRect(state), 8, 48, 208, 28);
  ExpectRect(CancelButtonRect(state), 256, 48, 208, 28);
  EXPECT_EQ(HelpLinePosition(state, 1).y, 96);
  EXPECT_EQ(HelpLinePosition(state, 2).y, 112);
  EXPECT_EQ(HelpLinePosition(state, 2).x, 8);
}

TEST(FormLayout, CompactFormPositions) {
  Measure(11);
  EXPECT_EQ(RowTop(state, 5), 96);
  ExpectRect(FormWindowRect(state), 0, 0, 512, 293);
  ExpectRect(ListBoxRect(state, 0), 240, 0, 240, 115);
  EXPECT_EQ(ListMarkPosition(state, 3).y, 62);
  ExpectRect(OkButtonRect(state), 8, 211, 208, 19);
  EXPECT_EQ(HelpLinePosition(state, 1).y, 233);
  EXPECT_EQ(HelpLinePosition(state, 2).y, 249);
}

TEST(FormLayout, FactorsAreSinglePrecision) {
  // 3 x 1.2 x 15 is 53.99... in double precision but 54.0000021 with the
  // single-precision 1.2.
  Measure(11, 15);
  EXPECT_EQ(RowTop(state, 3), 54);
}

TEST(FormLayout, RowButtonsShareSixtyColumns) {
  Measure(2);
  ExpectRect(RowButtonRect(state, 1, 3, 1), 8, 48, 152, 28);
  EXPECT_EQ(RowButtonRect(state, 1, 3, 2).x, 168);
  EXPECT_EQ(RowButtonRect(state, 1, 3, 3).x, 328);
  ExpectRect(RowButtonRect(state, 0, 7, 7), 392, 16, 56, 28);  // 60 div 7 = 8 columns
}

TEST(FormLayout, ListSetupSelectsTheChoiceAndSizesTheEntries) {
  ASSERT_EQ(PrepareForm(state, "SPick^a^b^|CName^x^|CFree^|", 28), DescriptionStatus::OK);
  Measure(3);
  state.choice[1] = 0;
  ListSetup setup = FieldListSetup(state, 1);
  EXPECT_TRUE(setup.select);
  EXPECT_EQ(setup.selectIndex, -1);
  EXPECT_EQ(setup.entryHeight, 28);
  EXPECT_TRUE(setup.setSelectionHeight);
  state.choice[1] = 2;
  EXPECT_EQ(FieldListSetup(state, 1).selectIndex, 1);

  state.choice[2] = 0;
  EXPECT_FALSE(FieldListSetup(state, 2).select);
  state.choice[2] = 1;
  EXPECT_EQ(FieldListSetup(state, 2).selectIndex, 0);

  state.choice[3] = 1;
  setup = FieldListSetup(state, 3);
  EXPECT_FALSE(setup.select);
  EXPECT_EQ(setup.entryHeight, 196);
  EXPECT_FALSE(setup.setSelectionHeight);
}

}  // namespace
}  // namespace pk
