#include "form/window_class_win32.h"

namespace pk {

bool RegisterWindowClass(WNDCLASSA& windowClass, HINSTANCE instance, const char* name,
                         WNDPROC procedure, HBRUSH background) {
  windowClass.style = 0;
  windowClass.lpfnWndProc = procedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = nullptr;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass) != 0;
}

}  // namespace pk
