#include "form/form_keyboard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "form/form_description.h"

namespace pk {
namespace {

FormState state;

// Stand-in controls: handle k is the address of entry k. List boxes are
// 1 to 20, O.K. 21, CANCEL 22, row buttons 23 onwards.
int32_t selection[40];
std::string text[40];

WindowHandle Handle(int32_t k) {
  return &selection[k];
}
int32_t Index(WindowHandle handle) {
  return static_cast<int32_t>(static_cast<int32_t*>(handle) - selection);
}

int32_t FakeSelection(void*, WindowHandle control) {
  return selection[Index(control)];
}
int32_t FakeText(void*, WindowHandle control, char* buffer, int32_t room) {
  const std::string& t = text[Index(control)];
  const int32_t length = static_cast<int32_t>(t.copy(buffer, room - 1));
  buffer[length] = '\0';
  return length;
}
const ControlReader reader{nullptr, FakeSelection, FakeText};

void Build(const char* description) {
  ASSERT_EQ(PrepareForm(state, description, static_cast<int32_t>(std::strlen(description)) + 1),
            DescriptionStatus::OK);
  for (int32_t k = 0; k < 40; ++k) {
    selection[k] = -1;
    text[k].clear();
  }
  for (int32_t k = 1; k <= CANCEL_CONTROL; ++k) {
    if (k > state.fieldCount || state.fieldType[k] != 'B') state.fieldControl[k] = Handle(k);
  }
  for (int32_t b = 1; b <= state.buttonTotal; ++b) state.buttonHandle[b] = Handle(22 + b);
  StartKeyboard(state);
}

// Walks `steps` with `step` and lists the focus targets met.
std::string Walk(void (*step)(FormState&), int steps) {
  std::string targets = std::to_string(Index(state.fieldControl[FOCUS_TARGET]));
  while (steps-- > 0) {
    step(state);
    targets += " " + std::to_string(Index(state.fieldControl[FOCUS_TARGET]));
  }
  return targets;
}

TEST(FormKeyboard, RingRunsThroughRowButtonsBothWays) {
  Build("CA^|BOne^Two^Three^|CB^|");
  EXPECT_EQ(Walk(FocusNext, 8), "1 23 24 25 3 21 22 1 23");
  Build("CA^|BOne^Two^Three^|CB^|");
  EXPECT_EQ(Walk(FocusPrevious, 8), "1 22 21 3 25 24 23 1 22");
  // A form that starts with a button row starts on its first button; the
  // ring steps between adjacent rows button by button.
  Build("BA^B^|BC^D^|");
  EXPECT_EQ(Walk(FocusNext, 4), "23 24 25 26 21");
  EXPECT_EQ(Walk(FocusPrevious, 5), "21 26 25 24 23 22");
  Build("TJust text\\|");
  EXPECT_EQ(Walk(FocusNext, 2), "21 22 21");
}

TEST(FormKeyboard, ConfirmReadsChoicesAndValuesAndStopsOnAnUnreadableNumber) {
  Build("CName^x^|SPick^a^b^|BYes^No^|DBig^|LLong^|IAge^|LLast^|");
  char buffer[31] = "old";
  state.value[1].text = buffer;
  state.value[7].longValue = 9;
  text[1] = std::string(35, 'n');
  selection[2] = 1;
  text[4] = "-1.25";
  text[5] = std::string(30, '0') + "12";  // read whole, not cut at 30 columns
  text[6] = "";                           // an empty number is 0
  text[7] = "1.5";
  EXPECT_EQ(ConfirmForm(state, 2, reader), 7);
  EXPECT_TRUE(state.confirmed);
  EXPECT_EQ(std::string(buffer), std::string(30, 'n'));
  EXPECT_EQ(state.choice[2], 2);
  EXPECT_EQ(state.choice[3], 2);
  EXPECT_EQ(state.value[4].doubleValue, -1.25);
  EXPECT_EQ(state.value[5].longValue, 12);
  EXPECT_EQ(state.value[6].shortValue, 0);
  EXPECT_EQ(state.value[7].longValue, 9);
  EXPECT_EQ(state.currentField, 7);
  EXPECT_EQ(Index(state.fieldControl[FOCUS_TARGET]), 7);

  // O.K. presses no row button; a chosen entry keeps the value and buffer.
  text[7] = "5";
  selection[1] = 0;
  std::strcpy(buffer, "kept");
  EXPECT_EQ(ConfirmForm(state, 0, reader), 0);
  EXPECT_EQ(state.choice[3], 0);
  EXPECT_EQ(state.choice[1], 1);
  EXPECT_STREQ(buffer, "kept");
  CancelForm(state);
  EXPECT_FALSE(state.confirmed);
}

}  // namespace
}  // namespace pk
