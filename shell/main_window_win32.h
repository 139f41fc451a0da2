// The main window: its class, its creation, the outer message loop and the
// window procedure that runs the whole job from its first paint (Win32 only).
#pragma once

#include <windows.h>

#include <cstdint>

namespace pk {

// WM_COMMAND wParam of the job command: ask for the program name, run the job,
// destroy the window.
constexpr WPARAM CMD_RUN_JOB = 768;

constexpr int32_t PROGRAM_NAME_FIELD = 31;  // 30 characters and a spare NUL

struct ShellState {
  HINSTANCE instance;
  HWND mainWindow;
  WNDCLASSA windowClass;
  HBRUSH backgroundBrush;  // the class background, dark blue; deleted on WM_DESTROY
  int32_t clientWidth;     // from the latest WM_SIZE
  int32_t clientHeight;
  int32_t jobCommandSent;  // 1 once the first paint has sent the job command
  MSG message;             // filled by the outer loop
  // Opens empty in the form: two NULs, then blanks; the spare byte stays NUL.
  char programName[PROGRAM_NAME_FIELD] = "\0\0                            ";
  int8_t programChoice;     // the form's choice for the name field; 1 = exit chosen
  int32_t windowDestroyed;  // 1 once WM_DESTROY has run
};

extern ShellState shellState;

// Results of CreateMainWindow.
constexpr int MAIN_WINDOW_CREATED = 1;
constexpr int CLASS_NOT_REGISTERED = 0;
constexpr int WINDOW_NOT_CREATED = 2;

// Registers the "PkitWin" class when `previous` is NULL, creates the main
// window "PARESKIT", shows and updates it; the first paint runs the whole job
// before this returns. Returns MAIN_WINDOW_CREATED, CLASS_NOT_REGISTERED
// (nothing created) or WINDOW_NOT_CREATED (the class stays registered, its
// brush is deleted, no window exists).
int CreateMainWindow(HINSTANCE instance, HINSTANCE previous, int showCommand);

// The outer message loop: runs until WM_QUIT and returns the exit code it carries.
int RunMessageLoop();

// The main window's procedure. WM_CREATE reads the logo; WM_SIZE records the
// client size; WM_PAINT draws the logo and, the first time only, sends the job
// command; the job command (wParam exactly CMD_RUN_JOB) asks for the name,
// runs the job and destroys the window; WM_CLOSE and the character ESC destroy
// the window; WM_DESTROY deletes the brush and requests the quit. Returns 1
// for these (and for every other WM_COMMAND, which is ignored) and
// DefWindowProcA's result for all other messages.
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pk
