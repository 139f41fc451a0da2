import unittest

from libgen.c_records import RecordCatalog
from libgen.c_types import Untranslatable
from libgen.derived_types import TypeBuilder
from libgen.interfaces import (Structures, abstract_interface_lines,
                               dummy_names, interface_lines, result_c_type)
from libgen.toolchain import UnitDeclarations

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
            "      INTERFACE",
            "      FUNCTION GetUserNameA(lpBuffer, pcbBuffer)".ljust(72) + "&",
            "     &  BIND(C, NAME='GetUserNameA')",
            "      USE, INTRINSIC :: ISO_C_BINDING, ONLY: C_CHAR, C_INT32_T, C_PTR",
            "      INTEGER(C_INT32_T) :: GetUserNameA ! BOOL",
            "      CHARACTER(KIND=C_CHAR), OPTIONAL :: lpBuffer(*) ! LPSTR",
            "      TYPE(C_PTR), VALUE :: pcbBuffer ! LPDWORD",
            "      END FUNCTION GetUserNameA",
            "      END INTERFACE"])

    def test_void_function_without_arguments_is_a_bare_subroutine(self):
        self.assertEqual(
            interface_lines("InitAll", declaration("void (void)", []), {}),
            ["      INTERFACE",
             "      SUBROUTINE InitAll() BIND(C, NAME='InitAll')",
             "      END SUBROUTINE InitAll",
             "      END INTERFACE"])

    def test_unnamed_parameter_is_named_after_its_type(self):
        lines = interface_lines("Show", declaration(
            "BOOL (HWND, LPSTR)", [(None, "HWND"), (None, "LPSTR")]), TYPEDEFS)
        self.assertTrue(lines[1].startswith("      FUNCTION Show(hwnd, lpstr)"))

    def test_function_returning_a_bare_function_pointer_is_refused(self):
        with self.assertRaises(Untranslatable):
            interface_lines("GetHook", declaration(
                "int (*(HWND))(int)", [("w", "HWND")]), TYPEDEFS)

    def test_variable_argument_list_is_refused(self):
        with self.assertRaises(Untranslatable):
            interface_lines("wsprintfA", declaration(
                "int (LPSTR, LPSTR, ...)", [("a", "LPSTR"), ("b", "LPSTR")],
                variadic=True), TYPEDEFS)


def structures():
    """Structures knowing RECT { LONG left, top, right, bottom; }."""
    declarations = UnitDeclarations()
    declarations.typedefs = dict(TYPEDEFS, LONG="long", RECT="struct tagRECT",
                                 LPRECT="RECT *")
    declarations.records = [({"id": "0x9", "tagUsed": "struct", "name": "tagRECT",
                              "inner": [{"kind": "FieldDecl", "name": n,
                                         "type": {"qualType": "LONG"}}
                                        for n in ("left", "top", "right", "bottom")]},
                             "windef.h")]
    catalog = RecordCatalog(declarations)
    builder = TypeBuilder(catalog, {"0x9": "RECT"}, set())
    return declarations.typedefs, Structures(catalog, {
        "0x9": builder.standalone(catalog.by_key["0x9"])})


class TypedInterfacesTest(unittest.TestCase):
    def test_structure_pointer_makes_a_typed_and_a_c_ptr_specific(self):
        typedefs, known = structures()
        lines = interface_lines("GetClientRect", declaration(
            "BOOL (HWND, LPRECT)", [("hWnd", "HWND"), ("lpRect", "LPRECT")]),
            typedefs, known)
        self.assertEqual((lines[0], lines[-1]), ("      INTERFACE GetClientRect",
                                                 "      END INTERFACE GetClientRect"))
        self.assertIn("      TYPE, BIND(C) :: RECT", lines)
        self.assertIn("      TYPE(RECT), OPTIONAL :: lpRect ! LPRECT", lines)
        self.assertIn("      TYPE(C_PTR), VALUE :: lpRect ! LPRECT", lines)
        self.assertEqual(sum(l.startswith("      FUNCTION GetClientRect_")
                             for l in lines), 2)

    def test_resource_string_takes_array_scalar_and_number(self):
        lines = interface_lines("LoadCursorA", declaration(
            "HWND (HWND, LPSTR)", [("hInstance", "HWND"), ("lpCursorName", "LPSTR")]),
            TYPEDEFS, None, ("lpCursorName",))
        declared = [l.split(" ! ")[0].strip() for l in lines if "lpCursorName" in l
                    and "::" in l]
        self.assertEqual(sorted(declared), [
            "CHARACTER(KIND=C_CHAR) :: lpCursorName",
            "CHARACTER(KIND=C_CHAR), OPTIONAL :: lpCursorName(*)",
            "INTEGER(C_INTPTR_T), VALUE :: lpCursorName"])

    def test_strings_of_a_generic_come_as_arrays_and_as_scalars(self):
        typedefs, known = structures()
        lines = interface_lines("DrawTextA", declaration(
            "int (HWND, LPSTR, LPRECT)", [("hdc", "HWND"), ("lpchText", "LPSTR"),
                                          ("lprc", "LPRECT")]), typedefs, known)
        declared = [l.split(" ! ")[0].strip() for l in lines if "lpchText" in l
                    and "::" in l]
        self.assertEqual(sorted(declared), [
            "CHARACTER(KIND=C_CHAR) :: lpchText"] * 2 + [
            "CHARACTER(KIND=C_CHAR), OPTIONAL :: lpchText(*)"] * 2)

    def test_callback_is_an_abstract_interface_with_typed_structures(self):
        typedefs, known = structures()
        lines = abstract_interface_lines(
            "RECTPROC", "BOOL (*)(HWND, LPRECT)", typedefs, known, ("w", None))
        self.assertEqual(lines[:2], ["      ABSTRACT INTERFACE",
                                     "      FUNCTION RECTPROC(w, lprect) BIND(C)"])
        self.assertIn("      TYPE(RECT) :: lprect ! LPRECT", lines)


if __name__ == "__main__":
    unittest.main()
