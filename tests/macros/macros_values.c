/* The values C gives for the expressions MACROS.FOR prints, compiled with
   the mingw-w64 C compiler and run under wine. */
#define INITGUID
#include <stdio.h>
#include <windows.h>
#include <windowsx.h>
#include <shlobj.h>
#include <shlguid.h>

static void bytes(const char *name, const void *p, int n) {
  printf("%s", name);
  for (int i = 0; i < n; i++) printf(" %d", ((const signed char *)p)[i]);
  printf("\n");
}

int main(void) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  printf("LOWORD\n%d\n%d\n%d\n%d\n", LOWORD(-1), LOWORD(0), LOWORD(2147483647),
         LOWORD(-123456789012LL));
  printf("HIWORD\n%d\n%d\n%d\n%d\n", HIWORD(-1), HIWORD(0), HIWORD(2147483647),
         HIWORD(-123456789012LL));
  printf("GET_X_LPARAM\n%d\n%d\n%d\n%d\n", GET_X_LPARAM(-1LL), GET_X_LPARAM(0),
         GET_X_LPARAM(131071), GET_X_LPARAM(-123456789012LL));
  printf("GET_Y_LPARAM\n%d\n%d\n%d\n%d\n", GET_Y_LPARAM(-1), GET_Y_LPARAM(0),
         GET_Y_LPARAM(-131072), GET_Y_LPARAM(4294901765LL));
  printf("MAKELONG\n%ld\n%ld\n%ld\n%ld\n", MAKELONG(-1, -2), MAKELONG(0, 0),
         MAKELONG(65535, 32768), MAKELONG(123456789012LL, -7));
  printf("RGB\n%d\n%d\n%d\n%d\n", (int)RGB(255, 0, 0), (int)RGB(-1, 256, 1000),
         (int)RGB(0, 0, 0), (int)RGB(4294967295LL, 1, 2));
  printf("MAKELANGID\n%d\n%d\n%d\n%d\n%d\n", MAKELANGID(-1, -1), MAKELANGID(0, 0),
         MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), MAKELANGID(1023, 63),
         MAKELANGID(70000, 5));
  printf("HRESULT_FROM_WIN32\n%ld\n%ld\n%ld\n%ld\n%ld\n%ld\n", HRESULT_FROM_WIN32(-5),
         HRESULT_FROM_WIN32(0), HRESULT_FROM_WIN32(5), HRESULT_FROM_WIN32(2147483647),
         HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), HRESULT_FROM_WIN32(-5LL));
  bytes("FOLDERID_Documents", &FOLDERID_Documents, 16);
  bytes("IID_IShellLinkA", &IID_IShellLinkA, 16);
  bytes("CLSID_ShellLink", &CLSID_ShellLink, 16);
  bytes("SECURITY_NT_AUTHORITY", &nt, 6);
  return 0;
}
