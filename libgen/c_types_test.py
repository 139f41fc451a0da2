import unittest

from libgen.c_types import (Untranslatable, argument_type, resolve,
                            result_type)

TYPEDEFS = {
    "CHAR": "char", "LPSTR": "CHAR *", "LPCSTR": "const CHAR *",
    "DWORD": "unsigned long", "LPDWORD": "DWORD *", "WORD": "unsigned short",
    "BYTE": "unsigned char", "LPBYTE": "BYTE *", "LONGLONG": "long long",
    "ULONG_PTR": "unsigned long long", "WPARAM": "ULONG_PTR",
    "HANDLE": "void *", "HGLOBAL": "HANDLE", "LPHANDLE": "HANDLE *",
    "LSA_HANDLE": "PVOID", "PLSA_HANDLE": "PVOID *", "VOID": "void",
    "PVOID": "VOID *",
    "HWND": "struct HWND__ *", "LRESULT": "long long",
    "WNDPROC": "LRESULT (*)(HWND, unsigned int, WPARAM, long long) "
               "__attribute__((stdcall))",
    "HOOKFN": "LRESULT (int)", "POINT": "struct tagPOINT",
    "FLOAT": "float", "BOOL": "int", "WCHAR": "wchar_t",
    "wchar_t": "unsigned short", "LPCWSTR": "const WCHAR *",
    "va_list": "__builtin_va_list", "__builtin_va_list": "char *",
}


def declaration(c_type):
    fortran = argument_type(resolve(c_type, TYPEDEFS))
    return fortran.declaration, fortran.by_value, fortran.assumed_size


class ArgumentTypeTest(unittest.TestCase):
    def test_integers_map_by_size(self):
        self.assertEqual(declaration("DWORD"), ("INTEGER(C_INT32_T)", True, False))
        self.assertEqual(declaration("WORD")[0], "INTEGER(C_INT16_T)")
        self.assertEqual(declaration("BYTE")[0], "INTEGER(C_INT8_T)")
        self.assertEqual(declaration("LONGLONG")[0], "INTEGER(C_INT64_T)")
        self.assertEqual(declaration("enum tagX")[0], "INTEGER(C_INT32_T)")

    def test_pointer_sized_integers_use_the_pointer_kind(self):
        self.assertEqual(declaration("WPARAM")[0], "INTEGER(C_INTPTR_T)")

    def test_char_strings_are_assumed_size_character_arrays(self):
        for c_type in ("LPSTR", "LPCSTR", "const char *"):
            self.assertEqual(declaration(c_type),
                             ("CHARACTER(KIND=C_CHAR)", False, True))

    def test_single_char_is_passed_by_value(self):
        self.assertEqual(declaration("CHAR"), ("CHARACTER(KIND=C_CHAR)", True, False))

    def test_handles_are_integers_by_value(self):
        for c_type in ("HWND", "HANDLE", "HGLOBAL", "const HWND", "LSA_HANDLE"):
            self.assertEqual(declaration(c_type), ("INTEGER(C_INTPTR_T)", True, False))

    def test_other_pointers_are_c_ptr_by_value(self):
        for c_type in ("LPHANDLE", "PLSA_HANDLE", "HWND *", "LPDWORD", "LPBYTE", "PVOID", "LPCWSTR",
                       "char **", "int [4]", "struct tagRECT *",
                       "va_list"):
            self.assertEqual(declaration(c_type), ("TYPE(C_PTR)", True, False),
                             c_type)

    def test_function_pointers_are_c_funptr(self):
        self.assertEqual(declaration("WNDPROC")[0], "TYPE(C_FUNPTR)")
        self.assertEqual(declaration("HOOKFN *")[0], "TYPE(C_FUNPTR)")

    def test_reals(self):
        self.assertEqual(declaration("FLOAT")[0], "REAL(C_FLOAT)")
        self.assertEqual(declaration("double")[0], "REAL(C_DOUBLE)")

    def test_structure_by_value_and_unknown_types_are_refused(self):
        for c_type in ("POINT", "union U", "NOSUCHTYPE", "long double"):
            with self.assertRaises(Untranslatable):
                argument_type(resolve(c_type, TYPEDEFS))


class ResultTypeTest(unittest.TestCase):
    def result(self, c_type):
        fortran = result_type(resolve(c_type, TYPEDEFS))
        return fortran and fortran.declaration

    def test_void_makes_a_subroutine(self):
        self.assertIsNone(self.result("void"))

    def test_results(self):
        self.assertEqual(self.result("BOOL"), "INTEGER(C_INT32_T)")
        self.assertEqual(self.result("HWND"), "INTEGER(C_INTPTR_T)")
        # A character array cannot be a result: string results are pointers.
        self.assertEqual(self.result("LPSTR"), "TYPE(C_PTR)")
        self.assertEqual(self.result("WNDPROC"), "TYPE(C_FUNPTR)")

    def test_structure_result_is_refused(self):
        with self.assertRaises(Untranslatable):
            result_type(resolve("POINT", TYPEDEFS))


if __name__ == "__main__":
    unittest.main()
