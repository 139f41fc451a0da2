// The form engine's state: one static record reused by every form.
//
// Tables follow the engine's 1-based numbering: fields 1 to 20, rows 1 to 25,
// row buttons 1 to 16, button captions 1 to 8; element 0 of those arrays is
// never used. `fieldControl` is the exception: entry 0 is the focus target.
#pragma once

#include <cstdint>

#include "form/field_value.h"
#include "records/fixed_text.h"

namespace pk {

// A window handle kept opaque so that the form's pure logic stays portable;
// the Win32 side stores HWND values here.
using WindowHandle = void*;

constexpr int32_t FORM_TEXT_LENGTH = 2000;    // characters of a description copied
constexpr int32_t FORM_PARSED_LENGTH = 1999;  // positions parsed when no NUL ends it
constexpr int32_t MAX_FIELDS = 20;
constexpr int32_t MAX_ROWS = 25;
constexpr int32_t MAX_ROW_BUTTONS = 8;
constexpr int32_t MAX_FORM_BUTTONS = 16;
constexpr int32_t ROW_LENGTH = 60;
constexpr int32_t LABEL_SHOWN = 30;  // label columns of a field row
constexpr int32_t SCRATCH_LENGTH = 80;
constexpr int32_t LIST_ENTRY_LENGTH = 79;    // longest list entry kept
constexpr int32_t BUTTON_CAPTION_ROOM = 30;  // caption characters and its NUL
constexpr int32_t CAPTION_LENGTH = 80;       // longest window caption kept
constexpr int32_t CHARACTER_VALUE_LENGTH = 30;

// Indices of `fieldControl` besides the fields 1 to 20.
constexpr int32_t FOCUS_TARGET = 0;
constexpr int32_t OK_CONTROL = 21;
constexpr int32_t CANCEL_CONTROL = 22;

constexpr char LIST_MARK = '~';

using FormRow = FixedText<ROW_LENGTH>;

struct FormState {
  // The description and the values exchanged with the caller.
  FixedText<FORM_TEXT_LENGTH> formText;
  int32_t formLength;     // last position parsed
  int32_t fieldCount;     // field items: every item but "T" and "H"
  int32_t textLineCount;  // "\" characters
  int32_t rowCount;       // fieldCount + textLineCount
  int8_t choice[MAX_FIELDS + 1];
  FieldValue value[MAX_FIELDS + 1];
  bool confirmed;
  FixedText<SCRATCH_LENGTH> scratch;  // every control text passes through here

  // The window and its controls.
  FormRow rows[MAX_ROWS + 1];
  char rowMark[MAX_ROWS + 1];  // blank, or LIST_MARK when the row's field has a list
  char fieldType[MAX_FIELDS + 1];
  int32_t fieldRow[MAX_FIELDS + 1];  // the row of each field's label, from 1
  WindowHandle fieldControl[CANCEL_CONTROL + 1];
  bool hasList[MAX_FIELDS + 1];
  FixedText<BUTTON_CAPTION_ROOM> buttonCaptions[MAX_ROW_BUTTONS + 1];  // NUL-ended
  int32_t buttonTotal;
  WindowHandle buttonHandle[MAX_FORM_BUTTONS + 1];
  int32_t buttonField[MAX_FORM_BUTTONS + 1];
  int32_t rowButtonCount[MAX_FIELDS + 1];
  int32_t rowFirstButton[MAX_FIELDS + 1];  // the form-wide number before the row's first
  char caption[CAPTION_LENGTH + 1];        // an "H" item's text, NUL-ended; empty when none
  int32_t charWidth;                       // pixels
  int32_t lineHeight;                      // pixels
  float lineSpacing;
  float itemHeight;
  float topOffset;

  // The keyboard position.
  int32_t currentField;  // 1..fieldCount a field, fieldCount+1 "O.K.", fieldCount+2 "CANCEL"
  int32_t buttonPos;     // inside a button row: the focused button, from 1; else 0
};

// The one form state of the process.
extern FormState formState;

inline bool IsFieldLetter(char letter) {
  return letter == 'C' || letter == 'I' || letter == 'L' || letter == 'R' || letter == 'D' ||
         letter == 'S' || letter == 'B';
}

// A field type that is shown in an editable or selection list box.
inline bool HasListBox(char letter) {
  return IsFieldLetter(letter) && letter != 'B';
}

}  // namespace pk
