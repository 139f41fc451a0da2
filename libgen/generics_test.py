import itertools
import unittest

from libgen.arguments import argument_slot
from libgen.c_types import resolve
from libgen.interfaces_test import structures
from libgen.generics import (MAX_SPECIFICS, distinguishable, null_units,
                              other_name_specifics, specific_forms)

# Argument C types of the test functions; those of one spelling group
# together.  SA, SI and PI stand for three structures (held as RECT and
# LOGA, which is also named LOG, its neutral name, and tagLOGA).
_TYPEDEFS = {"LPSA": "RECT *", "LPPI": "RECT *", "PFILETIME": "RECT *",
             "HMENU": "HWND", "HINSTANCE": "HWND", "HKEY": "HWND",
             "HANDLE": "HWND"}
# What a call passes: (declaration without attributes, array).
_ACTUALS = {"int": ("INTEGER(C_INTPTR_T)", False),
            "c_ptr": ("TYPE(C_PTR)", False),
            "scalar": ("CHARACTER(KIND=C_CHAR)", False),
            "array": ("CHARACTER(KIND=C_CHAR)", True),
            "dword": ("INTEGER(C_INT32_T)", False),
            "qword": ("INTEGER(C_INT64_T)", False),
            "i16": ("INTEGER(C_INT16_T)", False),
            "wide": ("INTEGER(C_INT16_T)", True)}

# name: [(C type, C name)], a "*" after the C name for a resource string.
FUNCTIONS = {
    "LoadIconA": [("HINSTANCE", "hInstance"), ("LPSTR", "lpIconName*")],
    "CreateWindowExA": [("DWORD", "dwExStyle"), ("LPCSTR", "lpClassName*"),
                        ("LPCSTR", "lpWindowName")] + [("int", "n%d" % i) for i in range(5)]
    + [("HWND", "hWndParent"), ("HMENU", "hMenu"), ("HINSTANCE", "hInstance"),
       ("LPVOID", "lpParam")],
    "GetMessageA": [("LPRECT", "lpMsg"), ("HWND", "hWnd"), ("DWORD", "wMin"),
                    ("DWORD", "wMax")],
    "GetModuleHandleA": [("LPCSTR", "lpModuleName")],
    "CreateFileMappingA": [("HANDLE", "hFile"), ("LPSA", "lpAttributes"),
                           ("DWORD", "fl"), ("DWORD", "hi"), ("DWORD", "lo"),
                           ("LPCSTR", "lpName")],
    "RegQueryInfoKeyA": [("HKEY", "hKey"), ("LPSTR", "lpClass"),
                         ("LPDWORD", "lpcchClass"), ("LPDWORD", "lpReserved")]
    + [("LPDWORD", "lpc%d" % i) for i in range(7)] + [("PFILETIME", "lpft")],
    "RegEnumValueA": [("HKEY", "hKey"), ("DWORD", "dwIndex"), ("LPSTR", "lpValueName"),
                      ("LPDWORD", "lpcchValueName"), ("LPDWORD", "lpReserved"),
                      ("LPDWORD", "lpType"), ("LPBYTE", "lpData"),
                      ("LPDWORD", "lpcbData")],
    "CreateProcessA": [("LPCSTR", "lpApplicationName"), ("LPSTR", "lpCommandLine"),
                       ("LPSA", "lpProcessAttributes"), ("LPSA", "lpThreadAttributes"),
                       ("BOOL", "bInheritHandles"), ("DWORD", "dwCreationFlags"),
                       ("LPVOID", "lpEnvironment"), ("LPCSTR", "lpCurrentDirectory"),
                       ("LPLOGA", "lpStartupInfo"), ("LPPI", "lpProcessInformation")],
    "ShellExecuteA": [("HWND", "hwnd")] + [("LPCSTR", n) for n in (
        "lpOperation", "lpFile", "lpParameters", "lpDirectory")] + [("int", "nShow")],
    "MessageBoxA": [("HWND", "hWnd"), ("LPCSTR", "lpText"), ("LPCSTR", "lpCaption"),
                    ("DWORD", "uType")],
    "GlobalFree": [("HGLOBAL", "hMem")],
    "SetConsoleTextAttribute": [("HANDLE", "h"), ("WORD", "wAttributes")],
    "RegisterClassA": [("LPLOGA", "lpWndClass")],
    "GetClassInfoA": [("HINSTANCE", "hInstance"), ("LPCSTR", "lpClassName"),
                      ("LPLOGA", "lpWndClass")],
    "GetFileTime": [("HANDLE", "hFile")] + [("PFILETIME", n) for n in ("c", "a", "w")],
    "ReadFile": [("HANDLE", "hFile"), ("LPVOID", "lpBuffer"), ("DWORD", "n"),
                 ("LPDWORD", "lpRead"), ("LPRECT", "lpOverlapped")],
    "FindWindowA": [("LPCSTR", "lpClassName*"), ("LPCSTR", "lpWindowName")],
    "GetFullPathNameW": [("LPCWSTR", "lpFileName"), ("DWORD", "n"),
                         ("LPWSTR", "lpBuffer"), ("LPDWORD", "lpFilePart")],
    "GetExitCodeProcess": [("HANDLE", "hProcess"), ("LPDWORD", "lpExitCode")],
    "LoadCursorW": [("HINSTANCE", "hInstance"), ("LPCWSTR", "lpCursorName*")],
    "CreateWindowExW": [("DWORD", "dwExStyle"), ("LPCWSTR", "lpClassName*"),
                        ("LPCWSTR", "lpWindowName")] + [("int", "n%d" % i) for i in range(5)]
    + [("HWND", "hWndParent"), ("HMENU", "hMenu"), ("HINSTANCE", "hInstance"),
       ("LPVOID", "lpParam")],
    "RegCreateKeyExA": [("HKEY", "hKey"), ("LPCSTR", "lpSubKey"), ("DWORD", "r"),
                        ("LPSTR", "lpClass"), ("DWORD", "o"), ("DWORD", "s"),
                        ("LPSA", "lpSecurityAttributes"), ("PHKEY", "phkResult"),
                        ("LPDWORD", "lpdwDisposition")],
}


def generic(name):
    typedefs, known = structures()
    typedefs = dict(typedefs, PHKEY="HKEY *", **_TYPEDEFS)
    slots = [argument_slot(resolve(c_type, typedefs), known, c_name.endswith("*"),
                           False, c_name.rstrip("*"), c_type)
             for c_type, c_name in FUNCTIONS[name]]
    return slots, specific_forms(slots)


def _takes(form, actual):
    if actual is None:
        return form.optional
    declaration = form.declaration.split(", ")[0]
    taken = _ACTUALS.get(actual, ("TYPE(%s)" % actual, False))
    return (declaration, bool(form.shape)) == taken


def every_specific(name):
    """The generic's specifics with those its structures' other C names
    add, as a program naming them all has them."""
    slots, arrangement = generic(name)
    return arrangement.specifics + [s for extra in other_name_specifics(
        slots).values() for s in extra]


def matching(name, call):
    """The specifics of the generic that take the call, its arguments
    after those written left out."""
    call = list(call) + [None] * (len(FUNCTIONS[name]) - len(call))
    return [s for s in every_specific(name)
            if all(_takes(f, a) for f, a in zip(s, call))]


D4 = ("dword",) * 4


class SpecificsTest(unittest.TestCase):
    def test_calls_find_one_specific(self):
        for name, call in (
                # C's NULL for a handle, a string, a structure, a scalar.
                ("LoadIconA", ("c_ptr", "int")),
                ("LoadIconA", ("c_ptr", "scalar")),
                ("LoadIconA", ("int", "array")),
                ("CreateWindowExA", ("dword", "scalar", "scalar") + ("dword",) * 5
                 + ("c_ptr", "c_ptr", "int", "c_ptr")),
                ("CreateWindowExA", ("dword", "int", "scalar") + ("dword",) * 5
                 + ("int", "c_ptr", "c_ptr", "c_ptr")),
                ("CreateWindowExA", ("dword", "array", "array") + ("dword",) * 5
                 + ("int", "int", "int", "c_ptr")),
                ("GetMessageA", ("RECT", "c_ptr", "dword", "dword")),
                ("GetModuleHandleA", ("c_ptr",)),
                ("GetModuleHandleA", ()),
                ("CreateFileMappingA", ("int", "c_ptr", "dword", "dword", "dword",
                                        "c_ptr")),
                # Several NULLs beside typed arguments, as the samples write them.
                ("RegQueryInfoKeyA", ("int", "scalar", "dword", "c_ptr")
                 + ("dword",) * 7 + ("RECT",)),
                ("RegEnumValueA", ("int", "dword", "scalar", "dword", "c_ptr",
                                   "c_ptr", "c_ptr", "c_ptr")),
                ("CreateProcessA", ("c_ptr", "scalar", "c_ptr", "c_ptr", "dword",
                                    "dword", "c_ptr", "c_ptr", "LOGA", "RECT")),
                ("CreateProcessA", ("c_ptr", "scalar", "c_ptr", "c_ptr", "dword",
                                    "dword", "c_ptr", "c_ptr", "LOG", "RECT")),
                ("ShellExecuteA", ("c_ptr", "scalar", "scalar", "c_ptr", "c_ptr",
                                   "dword")),
                ("RegCreateKeyExA", ("int", "scalar", "dword", "c_ptr", "dword",
                                     "dword", "c_ptr", "int", "dword")),
                # A buffer C allocated, as a string; memory handles as pointers.
                ("MessageBoxA", ("c_ptr", "c_ptr", "scalar", "dword")),
                ("GlobalFree", ("c_ptr",)),
                ("GlobalFree", ("int",)),
                # A narrow integer by value takes a default INTEGER.
                ("SetConsoleTextAttribute", ("c_ptr", "dword")),
                # Every C name of a structure.
                ("RegisterClassA", ("LOG",)),
                ("RegisterClassA", ("tagLOGA",)),
                ("GetClassInfoA", ("c_ptr", "scalar", "LOG")),
                ("GetClassInfoA", ("int", "scalar", "tagLOGA")),
                ("GetFileTime", ("int",) + ("BORDERWIDTHS",) * 3),
                # Wide strings: UTF-16 arrays or C_PTR, left out.
                ("GetFullPathNameW", ("wide", "dword", "c_ptr", "dword")),
                ("GetFullPathNameW", ("c_ptr", "dword", "wide")),
                # A W function takes a resource number where its A twin does.
                ("LoadCursorW", ("int", "int")),
                ("LoadCursorW", ("c_ptr", "wide")),
                ("CreateWindowExW", ("dword", "int", "wide") + ("dword",) * 5
                 + ("int", "int", "int", "c_ptr")),
                ("CreateWindowExW", ("dword", "int", "wide") + ("dword",) * 5
                 + ("c_ptr", "c_ptr", "int", "c_ptr")),
                # What library set 3 took: keywords leaving arguments out,
                # arrays after scalars, structures and scalars each alike,
                # a narrow integer of its own kind, every mix of scalar and
                # array strings where the function was not generic.
                ("CreateProcessA", (None, "scalar", None, None, "dword", "dword",
                                    "c_ptr", None, "LOGA", "RECT")),
                ("CreateProcessA", ("scalar", "array", "c_ptr", "c_ptr", "dword",
                                    "dword", "c_ptr", "array", "c_ptr", "c_ptr")),
                ("CreateProcessA", ("array", "array", "RECT", "RECT", "dword",
                                    "dword", "c_ptr", None, "LOGA", "RECT")),
                ("RegCreateKeyExA", ("int", "scalar", "dword", None, "dword",
                                     "dword", "RECT", "c_ptr", "c_ptr")),
                ("RegCreateKeyExA", ("int", "scalar", "dword", None, "dword",
                                     "dword", None, "int", "dword")),
                ("GetFileTime", ("int", None, "RECT", "c_ptr")),
                ("ReadFile", ("int", "c_ptr", "dword", "dword", None)),
                ("FindWindowA", (None, "scalar")),
                ("FindWindowA", ("int", "array")),
                ("FindWindowA", ("array", None)),
                ("SetConsoleTextAttribute", ("int", "i16")),
                ("MessageBoxA", ("int", "array", "scalar", "dword")),
                ("GetModuleHandleA", ("array",))):
            self.assertEqual(len(matching(name, call)), 1, (name, call))

    def test_wrong_arguments_find_none(self):
        for name, call in (
                # A structure of another type, beside C_NULL_PTR too.
                ("GetMessageA", ("LOGA", "int", "dword", "dword")),
                ("GetFileTime", ("int", "c_ptr", "c_ptr", "LOGA")),
                # A variable of another kind where a DWORD's address goes.
                ("GetExitCodeProcess", ("int", "qword")),
                ("GetExitCodeProcess", ("c_ptr", "qword")),
                # A number for a string that takes none.
                ("GetModuleHandleA", ("dword",)),
                ("GetFullPathNameW", ("int", "dword", "wide")),
                # Set 3's rule for generics: arrays after scalars.
                ("CreateProcessA", ("array", "scalar", "c_ptr", "c_ptr", "dword",
                                    "dword", "c_ptr", "c_ptr", "LOGA", "RECT"))):
            self.assertEqual(matching(name, call), [], (name, call))

    def test_units_of_c_null_ptr(self):
        # Up to four units in any combination; beyond, one C type together,
        # the first of a group alone while there is room; beyond four groups
        # neighbours in pairs from the last back; reserved arguments only
        # C_PTR.
        for name, units, reserved in (
                ("MessageBoxA", [[0], [1], [2]], []),
                ("ShellExecuteA", [[0], [1], [2], [3, 4]], []),
                ("CreateProcessA", [[0, 7], [1], [2, 3], [8, 9]], []),
                ("RegEnumValueA", [[0], [2], [3], [5, 7]], [4]),
                ("RegQueryInfoKeyA", [[0], [1], [2] + list(range(4, 11)), [11]], [3]),
                ("CreateWindowExA", [[1, 2], [8], [9], [10]], []),
                ("RegCreateKeyExA", [[0], [1], [3, 6], [7, 8]], [])):
            slots, _ = generic(name)
            self.assertEqual(null_units(slots, 4), (units, reserved), name)

    def test_generics_are_unambiguous_and_bounded(self):
        for name in FUNCTIONS:
            _, arrangement = generic(name)
            self.assertLessEqual(len(arrangement.specifics), MAX_SPECIFICS, name)
            for one, other in itertools.combinations(every_specific(name), 2):
                self.assertTrue(distinguishable(one, other), name)

    def test_distinguishable_needs_a_form_that_must_be_given(self):
        _, arrangement = generic("FindWindowA")
        by_shape = {(f.declaration, f.shape): f for s in arrangement.specifics
                    for f in s}
        scalar = by_shape[("CHARACTER(KIND=C_CHAR), OPTIONAL", "")]
        optional_array = by_shape[("CHARACTER(KIND=C_CHAR), OPTIONAL", "(*)")]
        array = by_shape[("CHARACTER(KIND=C_CHAR)", "(*)")]
        self.assertFalse(distinguishable((scalar,), (optional_array,)))
        self.assertTrue(distinguishable((scalar,), (array,)))


if __name__ == "__main__":
    unittest.main()
