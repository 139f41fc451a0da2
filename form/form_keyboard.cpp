#include "form/form_keyboard.h"

#include "records/number_edit.h"

namespace pk {

namespace {

constexpr uint32_t CHAR_TAB = 9;
constexpr uint32_t CHAR_CTRL_ENTER = 10;
constexpr uint32_t CHAR_ENTER = 13;
constexpr uint32_t CHAR_ESCAPE = 27;
constexpr uint32_t CHAR_CTRL_BACKSPACE = 127;

constexpr int32_t NUMBER_COLUMNS = 30;  // a number's text is right-justified in these
constexpr int32_t TEXT_ROOM = 80;       // room for a control's text and its NUL

bool IsButtonRow(const FormState& state, int32_t field) {
  return field >= 1 && field <= state.fieldCount && state.fieldType[field] == 'B';
}

WindowHandle RowButton(const FormState& state, int32_t field) {
  return state.buttonHandle[state.rowFirstButton[field] + state.buttonPos];
}

// Points the focus target at the control of position `n` of the ring.
void FocusPosition(FormState& state, int32_t n, bool enterAtEnd) {
  state.currentField = n;
  if (n <= state.fieldCount) {
    state.fieldControl[FOCUS_TARGET] = state.fieldControl[n];
    if (state.fieldType[n] == 'B') {
      if (state.buttonPos == 0) state.buttonPos = enterAtEnd ? state.rowButtonCount[n] : 1;
      state.fieldControl[FOCUS_TARGET] = RowButton(state, n);
    }
  } else {
    state.buttonPos = 0;
    state.fieldControl[FOCUS_TARGET] =
        state.fieldControl[n == state.fieldCount + 1 ? OK_CONTROL : CANCEL_CONTROL];
  }
}

// Right-justifies the `length` characters of `scratch` in columns 1 to 30.
void RightJustify(FixedText<80>& scratch, int32_t length) {
  const int32_t shift = NUMBER_COLUMNS - length;
  for (int32_t column = length; column >= 1; --column) {
    scratch.At(column + shift) = scratch.At(column);
  }
  for (int32_t column = 1; column <= shift; ++column) scratch.At(column) = BLANK;
}

void CopyCharacterValue(const FixedText<80>& scratch, int32_t length, char* buffer) {
  if (!buffer) return;
  if (length > CHARACTER_VALUE_LENGTH) length = CHARACTER_VALUE_LENGTH;
  for (int32_t i = 0; i < length; ++i) buffer[i] = scratch.chars[i];
  buffer[length] = '\0';
}

}  // namespace

FormAction CommandAction(uint32_t wParam, int32_t* pressedButton) {
  *pressedButton = 0;
  switch (wParam) {
    case CMD_FORM_PREVIOUS:
      return FormAction::PREVIOUS;
    case CMD_FORM_NEXT:
      return FormAction::NEXT;
    case CMD_FORM_CANCEL:
    case CANCEL_BUTTON_ID:
      return FormAction::CANCEL;
    case CMD_FORM_CONFIRM:
    case OK_BUTTON_ID:
      return FormAction::CONFIRM;
    default:
      break;
  }
  if (wParam >= FIRST_ROW_BUTTON_ID && wParam < FIRST_ROW_BUTTON_ID + MAX_FORM_BUTTONS) {
    *pressedButton = static_cast<int32_t>(wParam - FIRST_ROW_BUTTON_ID) + 1;
    return FormAction::CONFIRM;
  }
  return FormAction::NONE;
}

uint32_t KeyCommand(uint32_t character) {
  switch (character) {
    case CHAR_ENTER:
    case CHAR_TAB:
      return CMD_FORM_NEXT;
    case CHAR_CTRL_ENTER:
      return CMD_FORM_CONFIRM;
    case CHAR_ESCAPE:
      return CMD_FORM_CANCEL;
    case CHAR_CTRL_BACKSPACE:
      return CMD_FORM_PREVIOUS;
    default:
      return 0;
  }
}

void StartKeyboard(FormState& state) {
  state.buttonPos = 0;
  FocusPosition(state, 1, false);
}

void FocusNext(FormState& state) {
  int32_t n = state.currentField;
  if (IsButtonRow(state, n) && ++state.buttonPos <= state.rowButtonCount[n]) {
    --n;  // stay in this row
  } else {
    state.buttonPos = 0;
  }
  ++n;
  if (n > state.fieldCount + 2) n = 1;
  FocusPosition(state, n, false);
}

void FocusPrevious(FormState& state) {
  int32_t n = state.currentField;
  if (IsButtonRow(state, n)) {
    if (state.buttonPos == 0) state.buttonPos = state.rowButtonCount[n] + 1;
    if (--state.buttonPos > 0) {
      ++n;  // stay in this row
    } else {
      state.buttonPos = 0;
    }
  } else {
    state.buttonPos = 0;
  }
  --n;
  if (n < 1) n = state.fieldCount + 2;
  FocusPosition(state, n, true);
}

IoStatus ReadFieldText(char type, int32_t length, FixedText<80>& scratch, FieldValue& value) {
  if (length < 0) length = 0;
  if (length > TEXT_ROOM - 1) length = TEXT_ROOM - 1;
  if (type == 'C') {
    scratch.At(length + 1) = '\0';
    CopyCharacterValue(scratch, length, value.text);
    return IO_OK;
  }
  if (type != 'I' && type != 'L' && type != 'R' && type != 'D') return IO_OK;
  if (length == 0) {
    scratch.At(1) = '0';
    length = 1;
  }
  if (length < NUMBER_COLUMNS) RightJustify(scratch, length);
  // A longer text is read whole: cutting it at 30 columns would change the number.
  const int32_t width = length < NUMBER_COLUMNS ? NUMBER_COLUMNS : length;
  switch (type) {
    case 'I':
      return ReadInteger16(scratch.chars, width, &value.shortValue);
    case 'L':
      return ReadInteger32(scratch.chars, width, &value.longValue);
    case 'R':
      return ReadRealSingle(scratch.chars, width, &value.realValue);
    default:
      return ReadRealDouble(scratch.chars, width, &value.doubleValue);
  }
}

int32_t ConfirmForm(FormState& state, int32_t pressedButton, const ControlReader& reader) {
  state.confirmed = true;
  const bool rowButton = pressedButton >= 1 && pressedButton <= state.buttonTotal;
  for (int32_t f = 1; f <= state.fieldCount; ++f) {
    state.currentField = f;
    const char type = state.fieldType[f];
    int32_t length = 0;
    if (type == 'B') {
      const bool inRow = rowButton && state.buttonField[pressedButton] == f;
      state.choice[f] = static_cast<int8_t>(inRow ? pressedButton - state.rowFirstButton[f] : 0);
    } else {
      const int32_t pick = reader.selection(reader.context, state.fieldControl[f]);
      state.choice[f] = static_cast<int8_t>(pick + 1);
      length = reader.text(reader.context, state.fieldControl[f], state.scratch.chars, TEXT_ROOM);
    }
    if (state.choice[f] != 0) continue;
    if (ReadFieldText(type, length, state.scratch, state.value[f]) != IO_OK) {
      state.fieldControl[FOCUS_TARGET] = state.fieldControl[f];
      return f;
    }
  }
  return 0;
}

void CancelForm(FormState& state) {
  state.confirmed = false;
}

}  // namespace pk
