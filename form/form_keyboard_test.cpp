#include "form/form_keyboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "form/form_description.h"

namespace pk {
namespace {

FormState state;

// Stand-ins for controls: handle k is the address of entry k.
struct FakeControls {
  int32_t selection[40];
  std::string text[40];
};
FakeControls controls;

WindowHandle Handle(int32_t k) {
  return &controls.selection[k];
}
int32_t Index(WindowHandle handle) {
  return static_cast<int32_t>(static_cast<int32_t*>(handle) - controls.selection);
}

int32_t FakeSelection(void*, WindowHandle control) {
  return controls.selection[Index(control)];
}
int32_t FakeText(void*, WindowHandle control, char* buffer, int32_t room) {
  const std::string& text = controls.text[Index(control)];
  const int32_t length = std::min<int32_t>(static_cast<int32_t>(text.size()), room - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}
const ControlReader reader{nullptr, FakeSelection, FakeText};

// Prepares `text` with fake handles: list boxes 1..20, O.K. 21, CANCEL 22,
// row buttons 23 onwards.
void Build(const char* text) {
  ASSERT_EQ(PrepareForm(state, text, static_cast<int32_t>(std::strlen(text)) + 1),
            DescriptionStatus::OK);
  for (int32_t k = 1; k <= state.fieldCount; ++k) {
    if (state.fieldType[k] != 'B') state.fieldControl[k] = Handle(k);
    controls.selection[k] = -1;
    controls.text[k].clear();
  }
  state.fieldControl[OK_CONTROL] = Handle(OK_CONTROL);
  state.fieldControl[CANCEL_CONTROL] = Handle(CANCEL_CONTROL);
  for (int32_t b = 1; b <= state.buttonTotal; ++b) state.buttonHandle[b] = Handle(22 + b);
  StartKeyboard(state);
}

int32_t Focused() {
  return Index(state.fieldControl[FOCUS_TARGET]);
}

TEST(FormKeyboard, NextWalksFieldsRowButtonsOkCancelAndRound) {
  Build("CA^|BOne^Two^Three^|CB^|");
  EXPECT_EQ(Focused(), 1);
  int32_t expected[] = {23, 24, 25, 3, OK_CONTROL, CANCEL_CONTROL, 1, 23};
  for (int32_t target : expected) {
    FocusNext(state);
    EXPECT_EQ(Focused(), target);
  }
  EXPECT_EQ(state.currentField, 2);
  EXPECT_EQ(state.buttonPos, 1);
}

TEST(FormKeyboard, PreviousWalksTheRingBackwardsEnteringRowsAtTheirLastButton) {
  Build("CA^|BOne^Two^Three^|CB^|");
  int32_t expected[] = {CANCEL_CONTROL, OK_CONTROL, 3, 25, 24, 23, 1, CANCEL_CONTROL};
  for (int32_t target : expected) {
    FocusPrevious(state);
    EXPECT_EQ(Focused(), target);
  }
}

TEST(FormKeyboard, AdjacentButtonRowsAreWalkedButtonByButton) {
  Build("BA^B^|BC^D^|");
  EXPECT_EQ(Focused(), 23);  // a form that starts with a button row starts on its first button
  int32_t forwards[] = {24, 25, 26, OK_CONTROL};
  for (int32_t target : forwards) {
    FocusNext(state);
    EXPECT_EQ(Focused(), target);
  }
  int32_t backwards[] = {26, 25, 24, 23, CANCEL_CONTROL};
  for (int32_t target : backwards) {
    FocusPrevious(state);
    EXPECT_EQ(Focused(), target);
  }
}

TEST(FormKeyboard, FormWithoutFieldsRingsBetweenOkAndCancel) {
  Build("TJust text\\|");
  EXPECT_EQ(Focused(), OK_CONTROL);
  FocusNext(state);
  EXPECT_EQ(Focused(), CANCEL_CONTROL);
  FocusNext(state);
  EXPECT_EQ(Focused(), OK_CONTROL);
  FocusPrevious(state);
  EXPECT_EQ(Focused(), CANCEL_CONTROL);
}

TEST(FormKeyboard, KeysAndCommandsMapToFormActions) {
  EXPECT_EQ(KeyCommand(13), CMD_FORM_NEXT);
  EXPECT_EQ(KeyCommand(9), CMD_FORM_NEXT);
  EXPECT_EQ(KeyCommand(10), CMD_FORM_CONFIRM);
  EXPECT_EQ(KeyCommand(27), CMD_FORM_CANCEL);
  EXPECT_EQ(KeyCommand(127), CMD_FORM_PREVIOUS);
  EXPECT_EQ(KeyCommand(8), 0u);
  EXPECT_EQ(KeyCommand('a'), 0u);

  int32_t button = -1;
  EXPECT_EQ(CommandAction(301, &button), FormAction::PREVIOUS);
  EXPECT_EQ(CommandAction(302, &button), FormAction::NEXT);
  EXPECT_EQ(CommandAction(303, &button), FormAction::CANCEL);
  EXPECT_EQ(CommandAction(201, &button), FormAction::CANCEL);
  EXPECT_EQ(CommandAction(304, &button), FormAction::CONFIRM);
  EXPECT_EQ(CommandAction(200, &button), FormAction::CONFIRM);
  EXPECT_EQ(button, 0);
  EXPECT_EQ(CommandAction(306, &button), FormAction::CONFIRM);
  EXPECT_EQ(button, 2);
  EXPECT_EQ(CommandAction(320, &button), FormAction::CONFIRM);
  EXPECT_EQ(button, 16);
  EXPECT_EQ(CommandAction(321, &button), FormAction::NONE);
  // List box notifications carry their code in the high word.
  EXPECT_EQ(CommandAction(0x000100C9, &button), FormAction::NONE);
  EXPECT_EQ(CommandAction(0x000300CA, &button), FormAction::NONE);
}

TEST(FormKeyboard, ConfirmReadsEveryFieldAndTheRowButtonPressed) {
  Build("CName^x^|IAge^|SPick^a^b^|BYes^No^|RRate^|DBig^|LLong^|");
  char buffer[31] = "old";
  state.value[1].text = buffer;
  controls.text[1] = "Fortran";
  controls.text[2] = "  42 ";
  controls.selection[3] = 1;
  controls.text[3] = "b";
  controls.text[5] = "2.5E3";
  controls.text[6] = "-1.25";
  controls.text[7] = "";
  EXPECT_EQ(ConfirmForm(state, 2, reader), 0);
  EXPECT_TRUE(state.confirmed);
  EXPECT_STREQ(buffer, "Fortran");
  EXPECT_EQ(state.choice[1], 0);
  EXPECT_EQ(state.value[2].shortValue, 42);
  EXPECT_EQ(state.choice[3], 2);
  EXPECT_EQ(state.choice[4], 2);
  EXPECT_EQ(state.value[5].realValue, 2500.0f);
  EXPECT_EQ(state.value[6].doubleValue, -1.25);
  EXPECT_EQ(state.value[7].longValue, 0);  // an empty number is 0

  // O.K. and Ctrl+Enter press no row button.
  EXPECT_EQ(ConfirmForm(state, 0, reader), 0);
  EXPECT_EQ(state.choice[4], 0);
}

TEST(FormKeyboard, ChosenListEntryLeavesTheValueAndBufferAlone) {
  Build("cProgram Name^OOPS, EXIT PROGRAM^|IN^5^|");
  char buffer[31] = "keep";
  state.value[1].text = buffer;
  state.value[2].shortValue = 77;
  controls.selection[1] = 0;
  controls.text[1] = "OOPS, EXIT PROGRAM";
  controls.selection[2] = 0;
  controls.text[2] = "5";
  EXPECT_EQ(ConfirmForm(state, 0, reader), 0);
  EXPECT_EQ(state.choice[1], 1);
  EXPECT_STREQ(buffer, "keep");
  EXPECT_EQ(state.value[2].shortValue, 77);
}

TEST(FormKeyboard, CharacterValueIsCutAtThirty) {
  Build("CName^|");
  char buffer[31];
  std::memset(buffer, '#', sizeof buffer);
  state.value[1].text = buffer;
  controls.text[1] = std::string(35, 'n');
  EXPECT_EQ(ConfirmForm(state, 0, reader), 0);
  EXPECT_EQ(std::string(buffer), std::string(30, 'n'));
}

TEST(FormKeyboard, UnreadableNumberStopsOnItsField) {
  const char* refused[] = {"12x", "40000", "-32768", "1.5"};
  for (const char* text : refused) {
    Build("CName^|IAge^|LMore^|");
    char buffer[31] = "old";
    state.value[1].text = buffer;
    state.value[2].shortValue = 9;
    state.value[3].longValue = 9;
    controls.text[1] = "new";
    controls.text[2] = text;
    controls.text[3] = "5";
    FocusNext(state);
    FocusNext(state);
    EXPECT_EQ(ConfirmForm(state, 0, reader), 2) << text;
    EXPECT_TRUE(state.confirmed);
    EXPECT_EQ(state.currentField, 2);
    EXPECT_EQ(Focused(), 2);
    EXPECT_EQ(state.value[2].shortValue, 9);
    EXPECT_EQ(state.value[3].longValue, 9);  // fields after the refused one are not read
    EXPECT_STREQ(buffer, "new");             // fields before it are
  }
  CancelForm(state);
  EXPECT_FALSE(state.confirmed);
}

TEST(FormKeyboard, NumberTextLongerThanThirtyIsReadWhole) {
  Build("LBig^|");
  controls.text[1] = std::string(30, '0') + "12";
  EXPECT_EQ(ConfirmForm(state, 0, reader), 0);
  EXPECT_EQ(state.value[1].longValue, 12);
}

}  // namespace
}  // namespace pk
