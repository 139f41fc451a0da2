import unittest

from libgen.c_types import Untranslatable
from libgen.interfaces import dummy_names, interface_lines, result_c_type

TYPEDEFS = {"BOOL": "int", "LPSTR": "char *", "DWORD": "unsigned long",
            "LPDWORD": "DWORD *", "HWND": "struct HWND__ *"}


def declaration(function_type, parameters, variadic=False):
    node = {"type": {"qualType": function_type},
            "inner": [{"kind": "ParmVarDecl", "name": name,
                       "type": {"qualType": c_type}}
                      for name, c_type in parameters]}
    if variadic:
        node["variadic"] = True
    return node


class ResultCTypeTest(unittest.TestCase):
    def test_result_is_the_part_before_the_parameter_list(self):
        self.assertEqual(result_c_type(
            "BOOL (LPSTR, LPDWORD) __attribute__((stdcall))"), "BOOL")

    def test_declaration_without_parameter_list_is_refused(self):
        with self.assertRaises(Untranslatable):
            result_c_type("int ()")


class DummyNamesTest(unittest.TestCase):
    def test_c_names_are_kept_when_usable(self):
        self.assertEqual(dummy_names(["hWnd", "lpText"], "F", {"C_PTR"}),
                         ["hWnd", "lpText"])

    def test_unusable_names_become_positional(self):
        names = dummy_names([None, "value", "f", "c_ptr", "x" * 64],
                            "F", {"C_PTR"})
        self.assertEqual(names, ["ARG1", "ARG2", "ARG3", "ARG4", "ARG5"])

    def test_leading_underscores_are_dropped(self):
        self.assertEqual(dummy_names(["_Reserved"], "F", set()), ["Reserved"])

    def test_names_equal_apart_from_case_are_made_unique(self):
        self.assertEqual(dummy_names(["hwnd", "HWND", "ARG2"], "F", set()),
                         ["hwnd", "ARG2", "ARG3"])


class InterfaceLinesTest(unittest.TestCase):
    def test_function_body(self):
        lines = interface_lines("GetUserNameA", declaration(
            "BOOL (LPSTR, LPDWORD)", [("lpBuffer", "LPSTR"),
                                      ("pcbBuffer", "LPDWORD")]), TYPEDEFS)
        self.assertEqual(lines, [
            "      FUNCTION GetUserNameA(lpBuffer, pcbBuffer)",
            "     &  BIND(C, NAME='GetUserNameA')",
            "      USE, INTRINSIC :: ISO_C_BINDING, ONLY: C_CHAR, C_INT32_T, C_PTR",
            "      INTEGER(C_INT32_T) :: GetUserNameA ! BOOL",
            "      CHARACTER(KIND=C_CHAR), OPTIONAL :: lpBuffer(*) ! LPSTR",
            "      TYPE(C_PTR), VALUE :: pcbBuffer ! LPDWORD",
            "      END FUNCTION GetUserNameA"])

    def test_void_function_without_arguments_is_a_bare_subroutine(self):
        self.assertEqual(
            interface_lines("InitAll", declaration("void (void)", []), {}),
            ["      SUBROUTINE InitAll() BIND(C, NAME='InitAll')",
             "      END SUBROUTINE InitAll"])

    def test_function_returning_a_bare_function_pointer_is_refused(self):
        with self.assertRaises(Untranslatable):
            interface_lines("GetHook", declaration(
                "int (*(HWND))(int)", [("w", "HWND")]), TYPEDEFS)

    def test_variable_argument_list_is_refused(self):
        with self.assertRaises(Untranslatable):
            interface_lines("wsprintfA", declaration(
                "int (LPSTR, LPSTR, ...)", [("a", "LPSTR"), ("b", "LPSTR")],
                variadic=True), TYPEDEFS)


if __name__ == "__main__":
    unittest.main()
