// The form's keyboard position and its confirmation, over FormState.
//
// The keyboard ring runs field 1 .. field `fieldCount` (a button row: its
// buttons from left to right), "O.K.", "CANCEL", and round again. Each step
// sets `currentField`, `buttonPos` and the focus target (`fieldControl[0]`);
// the window side then gives the focus target the keyboard focus.
#pragma once

#include <cstdint>

#include "form/form_state.h"
#include "records/io_status.h"

namespace pk {

// Form commands, as WM_COMMAND wParam values.
constexpr uint32_t CMD_FORM_PREVIOUS = 301;
constexpr uint32_t CMD_FORM_NEXT = 302;
constexpr uint32_t CMD_FORM_CANCEL = 303;
constexpr uint32_t CMD_FORM_CONFIRM = 304;
// Control identifiers.
constexpr uint32_t OK_BUTTON_ID = 200;
constexpr uint32_t CANCEL_BUTTON_ID = 201;
constexpr uint32_t FIRST_LIST_BOX_ID = 202;    // field k has 201 + k
constexpr uint32_t FIRST_ROW_BUTTON_ID = 305;  // row button b has 304 + b

// What a form command asks of the window.
enum class FormAction { NONE, PREVIOUS, NEXT, CANCEL, CONFIRM };

// The form command carried by a WM_COMMAND wParam, compared as a whole;
// `pressedButton` receives the row button's form-wide number for a row
// button's click, else 0. A list box notification is NONE.
FormAction CommandAction(uint32_t wParam, int32_t* pressedButton);

// The form command for a character typed anywhere in the thread: Enter and
// Tab go to the next control, Ctrl+Enter confirms, ESC cancels and
// Ctrl+Backspace goes back. Returns 0 for any other character.
uint32_t KeyCommand(uint32_t character);

// The keyboard position of a newly built form: `currentField` 1, `buttonPos`
// 0 and the focus on field 1's list box; on the first button when field 1 is
// a button row, on "O.K." when there are no fields.
void StartKeyboard(FormState& state);

// One step forwards or backwards around the ring. Entering a button row
// forwards lands on its first button, backwards on its last.
void FocusNext(FormState& state);
void FocusPrevious(FormState& state);

// How the confirmation reaches the controls: the selected entry of a list
// box (-1 when none) and its text (at most room - 1 characters and a NUL;
// returns the number of characters).
struct ControlReader {
  void* context;
  int32_t (*selection)(void* context, WindowHandle control);
  int32_t (*text)(void* context, WindowHandle control, char* buffer, int32_t room);
};

// Reads one field whose choice is 0 from its text (`length` characters in
// `scratch`, NUL-ended): "C" copies at most 30 characters and a NUL to the
// caller's buffer (none when the address is null); "I", "L", "R" and "D" read
// the text, empty meaning 0, into `value`. On a status other than IO_OK
// `value` is unchanged. "S" and "B" read nothing.
IoStatus ReadFieldText(char type, int32_t length, FixedText<80>& scratch, FieldValue& value);

// Confirms the form: `confirmed` := true, then field by field the choice
// (for a button row the position of `pressedButton` when it is one of its
// buttons, else 0; for a list box the selected entry + 1) and, for a choice
// of 0, the value from the control's text. Returns 0 when every field was
// read. Otherwise returns the first field whose text is not a number of its
// type and stops there with `currentField` on it and the focus target on its
// list box: the choices up to that field and the values before it are set.
int32_t ConfirmForm(FormState& state, int32_t pressedButton, const ControlReader& reader);

// Cancels the form: `confirmed` := false.
void CancelForm(FormState& state);

}  // namespace pk
