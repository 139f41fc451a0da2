// The window classes of the program's top-level windows, the form's and the
// main window's (Win32 only).
#pragma once

#include <windows.h>

namespace pk {

// The style of both top-level windows: a caption, the system menu and a
// sizing frame, no minimize or maximize box, not visible at creation. The
// low bit 0x4000 has no name of its own for a top-level window (among child
// windows' styles it is a class-specific bit); the program's windows have
// always carried it, so their style reads 0x00CC4000.
constexpr DWORD TOP_LEVEL_STYLE = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | 0x4000;
static_assert(TOP_LEVEL_STYLE == 0x00CC4000, "the windows' style value");

// Fills `windowClass` for the class `name`: `procedure`, `instance`, the
// arrow cursor and the `background` brush; no class style, extra bytes, icon
// or menu. Then registers it and returns true, or false when the
// registration failed. `windowClass` stays filled either way.
bool RegisterWindowClass(WNDCLASSA& windowClass, HINSTANCE instance, const char* name,
                         WNDPROC procedure, HBRUSH background);

}  // namespace pk
