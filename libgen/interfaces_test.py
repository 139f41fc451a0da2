import itertools
import unittest

from libgen.c_records import RecordCatalog
from libgen.c_types import Untranslatable, resolve
from libgen.derived_types import TypeBuilder
from libgen.interfaces import (RESOURCE, SCALAR, STRING, STRUCTURE, WIDE,
                               WIDE_RESOURCE,
                               Structures, abstract_interface_lines,
                               argument_forms, dummy_names, interface_lines,
                               is_wide_string, result_c_type, scalar_target,
                               specific_forms)
from libgen.toolchain import UnitDeclarations

TYPEDEFS = {"BOOL": "int", "LPSTR": "char *", "DWORD": "unsigned long",
            "LPDWORD": "DWORD *", "HWND": "struct HWND__ *", "LPVOID": "void *",
            "HANDLE": "void *", "PHANDLE": "HANDLE *", "FLOAT": "float",
            "PFLOAT": "FLOAT *", "BYTE": "unsigned char", "LPBYTE": "BYTE *",
            "WCHAR": "wchar_t", "wchar_t": "unsigned short",
            "LPCWSTR": "const WCHAR *", "LPINT": "int *",
            "OLECHAR": "WCHAR", "BSTR": "OLECHAR *", "LPWSTR": "WCHAR *"}


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
    def test_names(self):
        for c_names, kinds, expected in (
                # C names are kept, Fortran's keywords among them.
                (["hWnd", "name", "type", "value"], {"C_PTR"},
                 ["hWnd", "name", "type", "value"]),
                (["_Reserved"], set(), ["Reserved"]),
                # Equal to the function, a kind or an earlier name: "_" after.
                (["f", "c_ptr", "hwnd", "HWND"], {"C_PTR"},
                 ["f_", "c_ptr_", "hwnd", "HWND_"]),
                # Not a Fortran name: positional.
                ([None, "x" * 64, "ARG2"], set(), ["ARG1", "ARG2", "ARG2_"])):
            self.assertEqual(dummy_names(c_names, "F", kinds), expected, c_names)

    def test_a_type_name_and_a_repeated_unnamed_type(self):
        self.assertEqual(dummy_names(["Point", None, None], "F", set(),
                                     ["POINT", "LPINT", "LPINT"], {"POINT"}),
                         ["Point_", "lpint", "lpint2"])


class InterfaceLinesTest(unittest.TestCase):
    def test_function_body(self):
        lines = interface_lines("GetUserNameA", declaration(
            "BOOL (LPSTR, LPVOID)", [("lpBuffer", "LPSTR"),
                                     ("pvBuffer", "LPVOID")]), TYPEDEFS)
        self.assertEqual(lines, [
            "      INTERFACE",
            "      FUNCTION GetUserNameA(lpBuffer, pvBuffer)".ljust(72) + "&",
            "     &  BIND(C, NAME='GetUserNameA')",
            "      USE, INTRINSIC :: ISO_C_BINDING, ONLY: C_CHAR, C_INT32_T, C_PTR",
            "      INTEGER(C_INT32_T) :: GetUserNameA ! BOOL",
            "      CHARACTER(KIND=C_CHAR), OPTIONAL :: lpBuffer(*) ! LPSTR",
            "      TYPE(C_PTR), VALUE :: pvBuffer ! LPVOID",
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
            "CHARACTER(KIND=C_CHAR) :: lpCursorName(*)",
            "CHARACTER(KIND=C_CHAR), OPTIONAL :: lpCursorName",
            "INTEGER(C_INTPTR_T), VALUE :: lpCursorName"])

    def test_scalar_pointer_takes_a_variable_by_reference_or_a_c_ptr(self):
        lines = interface_lines("GetExitCodeProcess", declaration(
            "BOOL (HWND, LPDWORD)", [("hProcess", "HWND"), ("lpExitCode", "LPDWORD")]),
            TYPEDEFS)
        declared = [l.split(" ! ")[0].strip() for l in lines if "lpExitCode" in l
                    and "::" in l]
        self.assertEqual(sorted(declared), [
            "INTEGER(C_INT32_T), OPTIONAL :: lpExitCode",
            "TYPE(C_PTR), VALUE :: lpExitCode"])

    def test_scalar_targets(self):
        for c_type, expected in (("LPDWORD", "INTEGER(C_INT32_T)"),
                                 ("PHANDLE", "INTEGER(C_INTPTR_T)"),
                                 ("PFLOAT", "REAL(C_FLOAT)"),
                                 ("LPINT", "INTEGER(C_INT32_T)"),
                                 ("LPVOID", None), ("LPBYTE", None),
                                 ("LPCWSTR", None), ("HANDLE", None),
                                 ("LPSTR", None)):
            target = scalar_target(resolve(c_type, TYPEDEFS))
            self.assertEqual(target and target.declaration, expected, c_type)

    def test_wide_strings(self):
        # UTF-16 text ending in 0; a BSTR carries its length before it.
        for c_type, expected in (("LPCWSTR", True), ("LPWSTR", True),
                                 ("const wchar_t *", True), ("BSTR", False),
                                 ("LPSTR", False), ("LPBYTE", False),
                                 ("LPVOID", False)):
            self.assertEqual(is_wide_string(resolve(c_type, TYPEDEFS)),
                             expected, c_type)


    def test_callback_is_an_abstract_interface_with_typed_structures(self):
        typedefs, known = structures()
        lines = abstract_interface_lines(
            "RECTPROC", "BOOL (*)(HWND, LPRECT)", typedefs, known, ("w", None))
        self.assertEqual(lines[:2], ["      ABSTRACT INTERFACE",
                                     "      FUNCTION RECTPROC(w, lprect) BIND(C)"])
        self.assertIn("      TYPE(RECT) :: lprect ! LPRECT", lines)

# What a call passes for one argument, and the forms that take it.
_TAKES = {"typed": ("TYPE(RECT), OPTIONAL", "INTEGER(C_INT32_T), OPTIONAL"),
          "c_ptr": ("TYPE(C_PTR), VALUE",),
          "scalar": ("CHARACTER(KIND=C_CHAR), OPTIONAL",),
          "array": ("CHARACTER(KIND=C_CHAR)", "CHARACTER(KIND=C_CHAR), OPTIONAL"),
          "number": ("INTEGER(C_INTPTR_T), VALUE",),
          "wide": ("INTEGER(C_INT16_T), OPTIONAL",)}


def _takes(form, actual):
    if actual is None:
        return "OPTIONAL" in form.declaration
    return form.declaration in _TAKES[actual] and \
        (form.shape == "(*)") == (actual in ("array", "wide"))


class GenericResolutionTest(unittest.TestCase):
    """The specifics of generics as gfortran chooses among them."""

    def generic(self, roles):
        typedefs, known = structures()
        c_types = {STRUCTURE: "LPRECT", SCALAR: "LPDWORD", STRING: "LPSTR",
                   RESOURCE: "LPSTR", WIDE: "LPCWSTR", WIDE_RESOURCE: "LPCWSTR"}
        alternatives = [argument_forms(resolve(c_types[role], typedefs), known,
                                       role in (RESOURCE, WIDE_RESOURCE),
                                       False)[1]
                        for role in roles]
        return specific_forms(alternatives, roles)

    def test_every_two_specifics_are_distinguishable(self):
        # Fortran's rule: one of the two has an argument that must be given
        # where the other's differs in type or rank.
        for roles in ([STRUCTURE] * 3, [STRUCTURE] * 4 + [STRING] * 3,
                      [SCALAR, STRUCTURE, STRING, RESOURCE],
                      [STRUCTURE, SCALAR, SCALAR, STRING, STRING],
                      [RESOURCE, RESOURCE, STRING], [WIDE, STRING, WIDE, SCALAR],
                      [WIDE_RESOURCE, WIDE, WIDE_RESOURCE, STRUCTURE]):
            specifics, _ = self.generic(roles)
            for one, other in itertools.combinations(specifics, 2):
                self.assertTrue(any(
                    "OPTIONAL" not in a.declaration and
                    (a.declaration.split(",")[0], a.shape) !=
                    (b.declaration.split(",")[0], b.shape)
                    for x, y in ((one, other), (other, one))
                    for a, b in zip(x, y)), roles)

    def test_calls_find_one_specific(self):
        for roles, calls, count, mixed in (
                # GetFileTime: three structures mix NULL and the type.
                ([STRUCTURE] * 3, [("c_ptr", "c_ptr", "typed"),
                                   (None, "typed", "c_ptr")], 8, True),
                # ReadFile: a DWORD variable beside C_NULL_PTR.
                ([SCALAR, STRUCTURE], [("typed", "c_ptr"), ("typed", None)],
                 4, True),
                # CreateProcessA: strings left out beside a scalar or an
                # array; four structures go all one way.
                ([STRING] * 3 + [STRUCTURE] * 4,
                 [(None, "scalar", None, None, None, "typed", "typed"),
                  (None, "array", None, None, None, "typed", "typed"),
                  ("scalar", "array", "array") + ("c_ptr",) * 4,
                  ("array", "array", None) + ("typed",) * 4], 8, False),
                # RegCreateKeyExA: lpClass left out, structures and scalars
                # each alike.
                ([STRING, STRING, STRUCTURE, SCALAR, SCALAR],
                 [("scalar", None, None, "typed", "typed"),
                  ("scalar", None, "c_ptr", "c_ptr", "c_ptr"),
                  ("scalar", None, "typed", "c_ptr", "c_ptr")], 12, False),
                # GetFullPathNameW: the wide strings UTF-16 arrays or C_PTR,
                # the pointer to the name's part typed or C_PTR.
                ([WIDE, WIDE, SCALAR], [("wide", None, "typed"),
                                        ("c_ptr", "c_ptr", "c_ptr"),
                                        (None, "wide", None)], 4, False),
                # CreateWindowExW: the class a number, or both strings
                # UTF-16 arrays (either left out) or C_PTR.
                ([WIDE_RESOURCE, WIDE], [("number", "wide"), ("number", "c_ptr"),
                                         ("wide", None), (None, None),
                                         ("c_ptr", "c_ptr")], 4, False),
                # FindWindowA: the class a number, a string or left out.
                ([RESOURCE, STRING], [(None, "scalar"), ("number", "array"),
                                      ("array", None), ("scalar", "scalar")],
                 5, False)):
            specifics, mixes = self.generic(roles)
            self.assertEqual((len(specifics), mixes), (count, mixed), roles)
            for call in calls:
                matching = [s for s in specifics
                            if all(_takes(f, a) for f, a in zip(s, call))]
                self.assertEqual(len(matching), 1, (roles, call))

    def test_an_array_before_a_scalar_finds_none(self):
        specifics, _ = self.generic([STRING, STRING, STRUCTURE])
        self.assertFalse([s for s in specifics if all(
            _takes(f, a) for f, a in zip(s, ("array", "scalar", "typed")))])


if __name__ == "__main__":
    unittest.main()
