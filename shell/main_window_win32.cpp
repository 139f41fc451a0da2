#include "shell/main_window_win32.h"

#include "extract/job.h"
#include "form/field_value.h"
#include "form/run_form_win32.h"
#include "form/window_class_win32.h"
#include "shell/logo.h"
#include "shell/paint_logo_win32.h"
#include "shell/signed_word.h"

namespace pk {

ShellState shellState;

namespace {

constexpr char CLASS_NAME[] = "PkitWin";
constexpr char WINDOW_TITLE[] = "PARESKIT";
constexpr COLORREF DARK_BLUE = 0x007F0000;
constexpr char ESC = 27;
constexpr int8_t EXIT_PROGRAM_CHOICE = 1;

// One character field "Program Name" whose list offers "OOPS, EXIT PROGRAM".
// The form is given the stored text with its closing NUL.
constexpr char PROGRAM_FORM[] = "cProgram Name^OOPS, EXIT PROGRAM^|";
static_assert(sizeof PROGRAM_FORM == 35, "34 characters and the NUL");

// Asks for the program name, runs the job when a name was confirmed, and
// destroys the window in every case.
void RunJobCommand(HWND window) {
  ShellState& state = shellState;
  FieldValue values[1] = {};
  values[0].text = state.programName;
  const bool confirmed =
      RunForm(state.instance, window, PROGRAM_FORM, static_cast<int32_t>(sizeof PROGRAM_FORM),
              &state.programChoice, values);
  if (confirmed && state.programChoice != EXIT_PROGRAM_CHOICE) RunProgramJob(state.programName);
  // Closing the main window while the form is shown posts WM_QUIT from
  // WM_DESTROY, and the form's own loop retrieves it, so the outer loop would
  // never see it: post it again. A second request before retrieval is one quit.
  const bool destroyedDuringForm = state.windowDestroyed != 0;
  DestroyWindow(window);
  if (destroyedDuringForm) PostQuitMessage(0);
}

void Paint(HWND window) {
  ShellState& state = shellState;
  PAINTSTRUCT paint;
  HDC paintDc = BeginPaint(window, &paint);
  PaintLogo(paintDc, state.clientWidth, state.clientHeight);
  // The flag is set before sending, so paints while the form is shown (or
  // while the job runs) never start a second job.
  if (state.jobCommandSent == 0) {
    state.jobCommandSent = 1;
    SendMessageA(window, WM_COMMAND, CMD_RUN_JOB, 1);
  }
  EndPaint(window, &paint);
}

}  // namespace

int CreateMainWindow(HINSTANCE instance, HINSTANCE previous, int showCommand) {
  ShellState& state = shellState;
  state.instance = instance;
  if (previous == nullptr) {
    state.backgroundBrush = CreateSolidBrush(DARK_BLUE);
    if (!RegisterWindowClass(state.windowClass, instance, CLASS_NAME, MainWndProc,
                             state.backgroundBrush)) {
      return CLASS_NOT_REGISTERED;
    }
  }
  state.mainWindow = CreateWindowExA(0, CLASS_NAME, WINDOW_TITLE, TOP_LEVEL_STYLE, CW_USEDEFAULT, 0,
                                     CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
  if (state.mainWindow == nullptr) {
    DeleteObject(state.backgroundBrush);
    return WINDOW_NOT_CREATED;
  }
  ShowWindow(state.mainWindow, showCommand);
  UpdateWindow(state.mainWindow);
  return MAIN_WINDOW_CREATED;
}

int RunMessageLoop() {
  MSG& message = shellState.message;
  // GetMessageA's -1 (an error) does not end the loop; only WM_QUIT does.
  while (GetMessageA(&message, nullptr, 0, 0) != 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ShellState& state = shellState;
  switch (message) {
    case WM_CREATE:
      LoadLogo();
      state.jobCommandSent = 0;
      InvalidateRect(window, nullptr, TRUE);
      return 1;
    case WM_DESTROY:
      DeleteObject(state.backgroundBrush);
      state.windowDestroyed = 1;
      PostQuitMessage(0);
      return 1;
    case WM_SIZE:
      state.clientWidth = SignedLowWord(static_cast<uint32_t>(lParam));
      state.clientHeight = SignedHighWord(static_cast<uint32_t>(lParam));
      InvalidateRect(window, nullptr, TRUE);
      return 1;
    case WM_PAINT:
      Paint(window);
      return 1;
    case WM_CLOSE:
      DestroyWindow(window);
      return 1;
    case WM_CHAR:
      if (wParam != static_cast<WPARAM>(ESC)) break;
      DestroyWindow(window);
      return 1;
    case WM_COMMAND:
      if (wParam == CMD_RUN_JOB) RunJobCommand(window);
      return 1;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace pk
