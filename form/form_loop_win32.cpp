#include <cstdint>

#include "form/form_keyboard.h"
#include "form/form_state.h"
#include "form/form_window_win32.h"

namespace pk {

namespace {

// The form command for a message, 0 when the message is not one of the
// intercepted characters. The character code is compared as a whole.
uint32_t InterceptedCommand(const MSG& message) {
  if (message.message != WM_CHAR || message.wParam > UINT32_MAX) return 0;
  return KeyCommand(static_cast<uint32_t>(message.wParam));
}

// A failed retrieval would repeat forever: the form is cancelled instead. The
// quit message its destruction posts belongs to this loop, so it is taken
// back rather than left to end the caller's loop.
void AbandonForm(HWND window) {
  CancelForm(formState);
  if (IsWindow(window)) DestroyWindow(window);
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace

void RunFormLoop(HWND window) {
  MSG message;
  for (;;) {
    const BOOL result = GetMessageA(&message, nullptr, 0, 0);
    if (result == 0) return;
    if (result == -1) {
      AbandonForm(window);
      return;
    }
    const uint32_t command = InterceptedCommand(message);
    if (command != 0) {
      SendMessageA(window, WM_COMMAND, command, 1);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace pk
