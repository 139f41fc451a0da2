// The window classes of the program's top-level windows, the form's and the
// main window's (Win32 only).
#pragma once

#include <windows.h>

namespace pk {

// Fills `windowClass` for the class `name`: `procedure`, `instance`, the
// arrow cursor and the `background` brush; no class style, extra bytes, icon
// or menu. Then registers it and returns true, or false when the
// registration failed. `windowClass` stays filled either way.
bool RegisterWindowClass(WNDCLASSA& windowClass, HINSTANCE instance, const char* name,
                         WNDPROC procedure, HBRUSH background);

}  // namespace pk
