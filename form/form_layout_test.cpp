#include "form/form_layout.h"

#include <gtest/gtest.h>

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

TEST(FormLayout, TenRowsUseTheWideFactorsAndElevenTheCompactOnes) {
  Measure(10);
  EXPECT_EQ(state.lineHeight, 16);
  EXPECT_EQ(state.lineSpacing, 2.0f);
  EXPECT_EQ(state.itemHeight, 1.75f);
  EXPECT_EQ(state.topOffset, 1.0f);
  Measure(11);
  EXPECT_EQ(state.lineSpacing, 1.2f);
  EXPECT_EQ(state.itemHeight, 1.2f);
  EXPECT_EQ(state.topOffset, 0.0f);
}

TEST(FormLayout, OneRowForm) {
  Measure(1);
  ExpectRect(FormWindowRect(state), 0, 0, 512, 160);
  EXPECT_EQ(RowTextPosition(state, 0).y, 16);
  ExpectRect(ListBoxRect(state, 0), 240, 16, 240, 168);
  EXPECT_EQ(ListMarkPosition(state, 0).x, 485);  // trunc(8 x 60.7)
  EXPECT_EQ(ListMarkPosition(state, 0).y, 20);
  ExpectRect(OkButtonRect(state), 8, 48, 208, 28);
  ExpectRect(CancelButtonRect(state), 256, 48, 208, 28);
  EXPECT_EQ(HelpLinePosition(state, 1).y, 96);
  EXPECT_EQ(HelpLinePosition(state, 2).y, 112);
  EXPECT_EQ(EmptyListItemHeight(state), 196);
}

TEST(FormLayout, CompactFormWithSinglePrecisionFactors) {
  Measure(11);
  EXPECT_EQ(RowTop(state, 5), 96);
  ExpectRect(FormWindowRect(state), 0, 0, 512, 293);  // (11 + 4.3) x 16 x 1.2
  ExpectRect(ListBoxRect(state, 0), 240, 0, 240, 115);
  EXPECT_EQ(ListMarkPosition(state, 3).y, 62);
  ExpectRect(OkButtonRect(state), 8, 211, 208, 19);
  EXPECT_EQ(HelpLinePosition(state, 1).y, 233);
  EXPECT_EQ(HelpLinePosition(state, 2).y, 249);
  // 3 x 1.2 x 15 is 53.99... with a double 1.2 but 54.0000021 with the single one.
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

}  // namespace
}  // namespace pk
