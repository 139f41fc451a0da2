// The process entry of PARESKIT.EXE.
#include <windows.h>

#include "shell/main_window_win32.h"

// The command line is not used. The whole job runs inside CreateMainWindow;
// the outer loop then only takes the remaining messages up to WM_QUIT.
// A window that could not be created ends the process with exit code 1, since
// the program name was never asked for; a class that could not be registered
// ends it with 0.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR /*commandLine*/, int showCommand) {
  switch (pk::CreateMainWindow(instance, previous, showCommand)) {
    case pk::MAIN_WINDOW_CREATED:
      return pk::RunMessageLoop();
    case pk::WINDOW_NOT_CREATED:
      return 1;
    default:
      return 0;
  }
}
