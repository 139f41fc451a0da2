"""The thirteen libraries in search order, with where their symbols come from.

Functions belong to the library whose import library exports them; integer
constants belong to the library of the header that defines them.  When
several libraries could claim a symbol, the earlier entry of LIBRARIES wins,
the same order in which the extractor searches the library files.
"""

from dataclasses import dataclass
from typing import Tuple

# Header sets compiled together.  OLE 1 (ole.h) clashes with the OLE 2
# headers that windows.h pulls in, so its libraries get a lean unit of their
# own; it also uses an annotation macro that only newer headers define.
# The main unit holds every header that declares a function the libraries
# export (lmdfs.h, shlwapi.h for SHELL32's Str functions, evntprov.h, ...)
# but werapi.h, prnasnot.h and mschapp.h, which do not compile on their
# own, and winsock2.h, which would have to come before windows.h (ntsecapi.h
# comes before dsgetdc.h, which declares DsGetDcOpen only after it).
MAIN_UNIT = "main"
OLE1_UNIT = "ole1"

UNIT_SOURCES = {
    MAIN_UNIT: """\
#include <windows.h>
#include <commdlg.h>
#include <cderr.h>
#include <dlgs.h>
#include <commctrl.h>
#include <prsht.h>
#include <winspool.h>
#include <shellapi.h>
#include <shlobj.h>
#include <lm.h>
#include <nb30.h>
#include <ntsecapi.h>
#include <dsgetdc.h>
#include <ras.h>
#include <raserror.h>
#include <lzexpand.h>
#include <winsvc.h>
#include <wincrypt.h>
#include <aclapi.h>
#include <sddl.h>
#include <wincred.h>
#include <ntsecapi.h>
#include <winsafer.h>
#include <winperf.h>
#include <winefs.h>
#include <tlhelp32.h>
#include <psapi.h>
#include <evntrace.h>
#include <lmdfs.h>
#include <lmat.h>
#include <shlwapi.h>
#include <perflib.h>
#include <evntprov.h>
#include <evntcons.h>
#include <wct.h>
#include <davclnt.h>
#include <dsrole.h>
#include <winnls32.h>
#include <ime.h>
#include <appmgmt.h>
#include <winsplp.h>
""" + """\
/* The libraries export these, but the headers make them macros: of the C
   library's memset, memcpy and memmove (C names them ZeroMemory,
   CopyMemory, MoveMemory and FillMemory), of ImageList_ReplaceIcon. */
#undef RtlZeroMemory
#undef RtlCopyMemory
#undef RtlMoveMemory
#undef RtlFillMemory
#undef ImageList_AddIcon
VOID WINAPI RtlZeroMemory(PVOID Destination, SIZE_T Length);
VOID WINAPI RtlCopyMemory(PVOID Destination, const VOID *Source, SIZE_T Length);
VOID WINAPI RtlMoveMemory(PVOID Destination, const VOID *Source, SIZE_T Length);
VOID WINAPI RtlFillMemory(PVOID Destination, SIZE_T Length, BYTE Fill);
int WINAPI ImageList_AddIcon(HIMAGELIST himl, HICON hicon);
""",
    OLE1_UNIT: """\
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#ifndef _Analysis_noreturn_
#define _Analysis_noreturn_
#endif
#include <ole.h>
""",
}

# Target the newest API level the headers describe (NTDDI_WIN10_CO), so
# that every exported function finds its prototype; RestoreLastError is
# declared only on request.
COMPILE_DEFINES = (
    "-D_WIN32_WINNT=0x0A00",
    "-DWINVER=0x0A00",
    "-DNTDDI_VERSION=0x0A00000B",
    "-D_WIN32_IE=0x0A00",
    "-DWINBASE_DECLARE_RESTORE_LAST_ERROR",
)

KERNEL32_HEADERS = (
    "winbase.h", "winnt.h", "winerror.h", "winnls.h", "wincon.h",
    "minwindef.h", "windef.h", "basetsd.h",
    "minwinbase.h", "fileapi.h", "processthreadsapi.h", "synchapi.h",
    "memoryapi.h", "libloaderapi.h", "handleapi.h", "errhandlingapi.h",
    "sysinfoapi.h", "namedpipeapi.h", "heapapi.h", "ioapiset.h",
    "debugapi.h", "processenv.h", "profileapi.h", "stringapiset.h",
    "jobapi.h", "timezoneapi.h", "winioctl.h", "consoleapi.h",
    "wow64apiset.h", "threadpoolapiset.h", "systemtopologyapi.h",
    "processtopologyapi.h", "interlockedapi.h", "utilapiset.h",
    "realtimeapiset.h", "datetimeapi.h", "apiquery2.h", "tlhelp32.h",
    "psapi.h",
)

ADVAPI32_HEADERS = (
    "winreg.h", "winsvc.h", "wincrypt.h", "aclapi.h", "accctrl.h", "sddl.h",
    "wincred.h", "ntsecapi.h", "winsafer.h", "winperf.h", "winefs.h",
    "securitybaseapi.h", "reason.h", "evntrace.h",
)

NETAPI32_HEADERS = (
    "lmaccess.h", "lmalert.h", "lmapibuf.h", "lmat.h", "lmaudit.h",
    "lmconfig.h", "lmcons.h", "lmdfs.h", "lmerr.h", "lmerrlog.h", "lmjoin.h",
    "lmmsg.h", "lmremutl.h", "lmrepl.h", "lmserver.h", "lmshare.h",
    "lmstats.h", "lmsvc.h", "lmuse.h", "lmuseflg.h", "lmwksta.h", "nb30.h",
    "dsgetdc.h",
)


@dataclass(frozen=True)
class Library:
    name: str                 # file stem of NAME.FD / NAME.FI
    import_library: str       # lib<import_library>.a
    headers: Tuple[str, ...]  # headers whose constants belong here
    unit: str                 # header set that declares its functions


LIBRARIES = (
    Library("USER32", "user32", ("winuser.h", "dde.h", "ddeml.h"), MAIN_UNIT),
    Library("GDI32", "gdi32", ("wingdi.h",), MAIN_UNIT),
    Library("KERNEL32", "kernel32", KERNEL32_HEADERS, MAIN_UNIT),
    Library("COMDLG32", "comdlg32", ("commdlg.h", "cderr.h", "dlgs.h"),
            MAIN_UNIT),
    Library("COMCTL32", "comctl32", ("commctrl.h", "prsht.h"), MAIN_UNIT),
    Library("WIN32SPL", "winspool", ("winspool.h",), MAIN_UNIT),
    Library("SHELL32", "shell32", ("shellapi.h", "shlobj.h"), MAIN_UNIT),
    Library("NETAPI32", "netapi32", NETAPI32_HEADERS, MAIN_UNIT),
    Library("OLECLI32", "olecli32", ("ole.h",), OLE1_UNIT),
    Library("OLESVR32", "olesvr32", (), OLE1_UNIT),
    Library("RASAPI32", "rasapi32", ("ras.h", "raserror.h"), MAIN_UNIT),
    Library("LZ32", "lz32", ("lzexpand.h",), MAIN_UNIT),
    Library("ADVAPI32", "advapi32", ADVAPI32_HEADERS, MAIN_UNIT),
)


def library_of_header(header_base):
    """Index into LIBRARIES of the first library that owns the header, or
    None when no library does."""
    for index, library in enumerate(LIBRARIES):
        if header_base in library.headers:
            return index
    return None
