#include "form/form_window_win32.h"

#include <cstdint>

#include "form/form_description.h"
#include "form/form_keyboard.h"
#include "form/form_layout.h"
#include "form/form_state.h"
#include "form/value_text.h"
#include "form/window_class_win32.h"

namespace pk {

namespace {

constexpr char FORM_CLASS[] = "FORM_ENTRY";
constexpr char FORM_CAPTION[] = "FORM";
// The text of an editable box scrolls, so that a value longer than the box
// is wide (a 30-character name) can be typed whole.
constexpr DWORD EDIT_LIST_STYLE =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
constexpr DWORD SELECTION_LIST_STYLE =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD BUTTON_STYLE = WS_CHILD | WS_VISIBLE;
// The creation handler moves and sizes the window; these only stand in until then.
constexpr int PLACEHOLDER_X = 32768;
constexpr int PLACEHOLDER_WIDTH = 32768;

bool classRegistered = false;
WNDCLASSA formClass;

HWND Handle(WindowHandle handle) {
  return static_cast<HWND>(handle);
}

HWND CreateChild(HWND form, const char* className, const char* text, DWORD style,
                 const PixelRect& rect, uint32_t id) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(form, GWLP_HINSTANCE));
  return CreateWindowExA(0, className, text, style, rect.x, rect.y, rect.width, rect.height, form,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance, nullptr);
}

// Measures the fixed font on `dc` into the layout units.
void MeasureFont(FormState& state, HDC dc) {
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  SetLayoutUnits(state, metrics.tmAveCharWidth, metrics.tmHeight, metrics.tmExternalLeading);
}

void CreateListBox(void* context, FormState& state, int32_t field, int32_t row, char type) {
  const HWND form = static_cast<HWND>(context);
  const DWORD style = type == 'S' ? SELECTION_LIST_STYLE : EDIT_LIST_STYLE;
  const HWND box = CreateChild(form, "combobox", "", style, ListBoxRect(state, row - 1),
                               FIRST_LIST_BOX_ID + field - 1);
  state.fieldControl[field] = box;
  if (type != 'S') {
    FieldValueText(type, state.value[field], state.scratch);
    SetWindowTextA(box, state.scratch.chars);
  }
}

void AddListEntry(void*, FormState& state, int32_t field) {
  SendMessageA(Handle(state.fieldControl[field]), CB_ADDSTRING, 0,
               reinterpret_cast<LPARAM>(state.scratch.chars));
}

void CreateButtonRow(void* context, FormState& state, int32_t field, int32_t row) {
  const HWND form = static_cast<HWND>(context);
  const int32_t count = state.rowButtonCount[field];
  for (int32_t j = 1; j <= count; ++j) {
    const int32_t number = state.rowFirstButton[field] + j;
    state.buttonHandle[number] =
        CreateChild(form, "button", state.buttonCaptions[j].chars, BUTTON_STYLE,
                    RowButtonRect(state, row - 1, count, j), FIRST_ROW_BUTTON_ID + number - 1);
  }
}

void SetCaption(void* context, FormState& state) {
  SetWindowTextA(static_cast<HWND>(context), state.caption);
}

void SetUpLists(FormState& state) {
  for (int32_t k = 1; k <= state.fieldCount; ++k) {
    if (!HasListBox(state.fieldType[k])) continue;
    const HWND box = Handle(state.fieldControl[k]);
    const ListSetup setup = FieldListSetup(state, k);
    if (setup.select) SendMessageA(box, CB_SETCURSEL, setup.selectIndex, 0);
    SendMessageA(box, CB_SETITEMHEIGHT, 0, setup.entryHeight);
    if (setup.setSelectionHeight) {
      SendMessageA(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), setup.entryHeight);
    }
  }
}

void BuildForm(HWND form) {
  FormState& state = formState;
  state.buttonPos = 0;
  const HDC dc = GetDC(form);
  const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
  MeasureFont(state, dc);
  SelectObject(dc, oldFont);
  ReleaseDC(form, dc);
  const PixelRect window = FormWindowRect(state);
  MoveWindow(form, window.x, window.y, window.width, window.height, TRUE);

  const FormBuilder builder{form, CreateListBox, AddListEntry, CreateButtonRow, SetCaption};
  WalkDescription(state, &builder);
  SetUpLists(state);
  state.fieldControl[OK_CONTROL] =
      CreateChild(form, "button", "O.K.", BUTTON_STYLE, OkButtonRect(state), OK_BUTTON_ID);
  state.fieldControl[CANCEL_CONTROL] = CreateChild(form, "button", "CANCEL", BUTTON_STYLE,
                                                   CancelButtonRect(state), CANCEL_BUTTON_ID);
  StartKeyboard(state);
}

void PaintText(HDC dc, PixelPoint at, const char* text, int32_t count) {
  TextOutA(dc, at.x, at.y, text, count);
}

void PaintForm(HWND form) {
  FormState& state = formState;
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(form, &paint);
  const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FIXED_FONT));
  MeasureFont(state, dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  for (int32_t r = 1; r <= state.rowCount; ++r) {
    const int32_t count = RowPaintCount(state.rows[r]);
    if (count > 0) PaintText(dc, RowTextPosition(state, r - 1), state.rows[r].chars, count);
    PaintText(dc, ListMarkPosition(state, r - 1), &state.rowMark[r], 1);
  }
  PaintText(dc, HelpLinePosition(state, 1), HELP_LINE_1, HELP_LINE_LENGTH);
  PaintText(dc, HelpLinePosition(state, 2), HELP_LINE_2, HELP_LINE_LENGTH);
  SelectObject(dc, oldFont);
  EndPaint(form, &paint);
}

int32_t ListSelection(void*, WindowHandle control) {
  return static_cast<int32_t>(SendMessageA(Handle(control), CB_GETCURSEL, 0, 0));
}

int32_t ControlText(void*, WindowHandle control, char* buffer, int32_t room) {
  if (!control) {
    buffer[0] = '\0';
    return 0;
  }
  return GetWindowTextA(Handle(control), buffer, room);
}

void FocusTarget() {
  SetFocus(Handle(formState.fieldControl[FOCUS_TARGET]));
}

void Command(HWND form, WPARAM wParam) {
  FormState& state = formState;
  int32_t pressedButton = 0;
  // Only the whole value names a command; list box notifications carry a high word.
  const FormAction action = wParam > UINT32_MAX
                                ? FormAction::NONE
                                : CommandAction(static_cast<uint32_t>(wParam), &pressedButton);
  switch (action) {
    case FormAction::PREVIOUS:
      FocusPrevious(state);
      FocusTarget();
      break;
    case FormAction::NEXT:
      FocusNext(state);
      FocusTarget();
      break;
    case FormAction::CANCEL:
      CancelForm(state);
      DestroyWindow(form);
      break;
    case FormAction::CONFIRM: {
      const ControlReader reader{nullptr, ListSelection, ControlText};
      if (ConfirmForm(state, pressedButton, reader) == 0) {
        DestroyWindow(form);
      } else {
        FocusTarget();
      }
      break;
    }
    case FormAction::NONE:
      break;
  }
}

}  // namespace

bool CreateFormWindow(HINSTANCE instance, HWND owner, HWND* window) {
  if (!classRegistered) {
    classRegistered = true;
    const HBRUSH background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    if (!RegisterWindowClass(formClass, instance, FORM_CLASS, FormWindowProc, background)) {
      return false;
    }
  }
  const HWND form = CreateWindowExA(0, FORM_CLASS, FORM_CAPTION, TOP_LEVEL_STYLE, PLACEHOLDER_X, 0,
                                    PLACEHOLDER_WIDTH, 0, owner, nullptr, instance, nullptr);
  // Without a window no quit message would ever end the form's loop.
  if (!form) return false;
  *window = form;
  ShowWindow(form, SW_SHOWNORMAL);
  UpdateWindow(form);
  return true;
}

LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      BuildForm(window);
      return 1;
    case WM_PAINT:
      PaintForm(window);
      return 1;
    case WM_SETFOCUS:
      if (formState.fieldCount == 0) {
        formState.fieldControl[FOCUS_TARGET] = formState.fieldControl[OK_CONTROL];
      }
      FocusTarget();
      return 1;
    case WM_CLOSE:
      // Closing the window is a cancellation, also after a refused confirmation.
      CancelForm(formState);
      DestroyWindow(window);
      return 1;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 1;
    case WM_COMMAND:
      Command(window, wParam);
      return 1;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace pk
