// The form window and its message loop (Win32 only).
#pragma once

#include <windows.h>

namespace pk {

// Registers the "FORM_ENTRY" class on the first call of the process (never
// again, whatever the result), creates the form window owned by `owner` for
// the form prepared in `formState`, shows and updates it, and stores its
// handle in `*window`. Returns false, and leaves `*window` alone, when the
// class registration or the window's creation failed.
bool CreateFormWindow(HINSTANCE instance, HWND owner, HWND* window);

// The window procedure of "FORM_ENTRY": builds the controls on WM_CREATE,
// paints labels, text lines, list marks and help lines, forwards the focus
// to the focus target, and carries out the form commands (WM_COMMAND 301 to
// 304, 200, 201, 305 to 320). WM_CLOSE cancels the form; WM_DESTROY posts the
// quit message that ends RunFormLoop. Returns 1 for these messages.
LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The form's own message loop: runs until the quit message posted when the
// form window is destroyed. Enter, Tab, Ctrl+Enter, ESC and Ctrl+Backspace
// typed into any window of the thread become form commands sent to `window`
// and are not dispatched; every other message is translated and dispatched.
// Should the message retrieval fail, the form is cancelled and destroyed.
void RunFormLoop(HWND window);

}  // namespace pk
