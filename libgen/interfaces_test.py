import unittest

from libgen.arguments import (HANDLE, NARROW, PLAIN, RESOURCE, SCALAR, STRING,
                              STRUCTURE, WIDE, Structures, argument_slot,
                              is_wide_string, scalar_target)
from libgen.c_records import RecordCatalog
from libgen.c_types import Untranslatable, resolve
from libgen.derived_types import TypeBuilder
from libgen.interfaces import (abstract_interface_lines, dummy_names,
                               interface_lines, result_c_type)
from libgen.toolchain import UnitDeclarations

TYPEDEFS = {"BOOL": "int", "LPSTR": "char *", "DWORD": "unsigned long",
            "LPDWORD": "DWORD *", "HWND": "struct HWND__ *", "LPVOID": "void *",
            "HANDLE": "void *", "PHANDLE": "HANDLE *", "FLOAT": "float",
            "PFLOAT": "FLOAT *", "BYTE": "unsigned char", "LPBYTE": "BYTE *",
            "WCHAR": "wchar_t", "wchar_t": "unsigned short",
            "LPCWSTR": "const WCHAR *", "LPINT": "int *",
            "OLECHAR": "WCHAR", "BSTR": "OLECHAR *", "LPWSTR": "WCHAR *",
            "WORD": "unsigned short", "LPCSTR": "const char *",
            "HGLOBAL": "HANDLE", "SIZE_T": "unsigned long long"}


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
            "BOOL (DWORD, LPVOID)", [("nSize", "DWORD"),
                                     ("pvBuffer", "LPVOID")]), TYPEDEFS)
        self.assertEqual(lines, [
            "      INTERFACE",
            "      ! C: BOOL GetUserNameA (DWORD nSize, LPVOID pvBuffer)",
            "      INTEGER(C_INT32_T) FUNCTION GetUserNameA(nSize, pvBuffer)".ljust(72)
            + "&",
            "     &  BIND(C, NAME='GetUserNameA')",
            "      USE, INTRINSIC :: ISO_C_BINDING, ONLY: C_INT32_T, C_PTR",
            "      INTEGER(C_INT32_T), VALUE :: nSize",
            "      TYPE(C_PTR), VALUE :: pvBuffer",
            "      END FUNCTION GetUserNameA",
            "      END INTERFACE"])

    def test_memory_from_global_alloc_is_a_c_ptr(self):
        lines = interface_lines("GlobalAlloc", declaration(
            "HGLOBAL (UINT, SIZE_T)", [("uFlags", "DWORD"), ("dwBytes", "SIZE_T")]),
            TYPEDEFS)
        self.assertTrue(lines[2].startswith("      TYPE(C_PTR) FUNCTION GlobalAlloc("))

    def test_void_function_without_arguments_is_a_bare_subroutine(self):
        self.assertEqual(
            interface_lines("InitAll", declaration("void (void)", []), {}),
            ["      INTERFACE",
             "      ! C: void InitAll ()",
             "      SUBROUTINE InitAll() BIND(C, NAME='InitAll')",
             "      END SUBROUTINE InitAll",
             "      END INTERFACE"])

    def test_unnamed_parameter_is_named_after_its_type(self):
        lines = interface_lines("Show", declaration(
            "BOOL (HWND, LPSTR)", [(None, "HWND"), (None, "LPSTR")]), TYPEDEFS)
        self.assertTrue(any("FUNCTION Show_1(hwnd, lpstr)" in l for l in lines))

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
    """Structures knowing RECT { LONG left, top, right, bottom; }, also
    named BORDERWIDTHS, and LOGA { LONG x; }, also named LOG and tagLOGA."""
    declarations = UnitDeclarations()
    declarations.typedefs = dict(TYPEDEFS, LONG="long", RECT="struct tagRECT",
                                 LPRECT="RECT *", LOGA="struct tagLOGA",
                                 LPLOGA="LOGA *")
    declarations.records = [
        ({"id": key, "tagUsed": "struct", "name": tag,
          "inner": [{"kind": "FieldDecl", "name": n, "type": {"qualType": "LONG"}}
                    for n in members]}, "windef.h")
        for key, tag, members in (("0x9", "tagRECT", ("left", "top", "right", "bottom")),
                                  ("0xa", "tagLOGA", ("x",)))]
    catalog = RecordCatalog(declarations)
    builder = TypeBuilder(catalog, {"0x9": "RECT", "0xa": "LOGA"}, set())
    record = catalog.by_key
    return declarations.typedefs, Structures(catalog, {
        "0x9": builder.standalone(record["0x9"]),
        "0xa": builder.standalone(record["0xa"])}, {
        "0x9": [builder.standalone(record["0x9"], "BORDERWIDTHS")],
        "0xa": [builder.standalone(record["0xa"], n) for n in ("LOG", "tagLOGA")]})


class TypedInterfacesTest(unittest.TestCase):
    def test_structure_pointer_makes_a_typed_and_a_c_ptr_specific(self):
        typedefs, known = structures()
        lines = interface_lines("GetClientRect", declaration(
            "BOOL (HWND, LPRECT)", [("hWnd", "HWND"), ("lpRect", "LPRECT")]),
            typedefs, known)
        self.assertEqual((lines[0], lines[-1]), ("      INTERFACE GetClientRect",
                                                 "      END INTERFACE GetClientRect"))
        self.assertIn("      TYPE, BIND(C) :: RECT", lines)
        self.assertIn("      INTEGER(C_INT32_T) :: left, top, right, bottom", lines)
        for declared in ("TYPE(RECT), OPTIONAL :: lpRect",
                         "TYPE(C_PTR), VALUE :: lpRect",
                         "TYPE(C_PTR), VALUE :: hWnd, lpRect"):
            self.assertIn("      " + declared, lines)
        # Another C name extends the generic from a block of its own.
        extension = known.extensions["BORDERWIDTHS"]
        self.assertEqual((extension[0], extension[-1]), (lines[0], lines[-1]))
        self.assertIn(" FUNCTION GetClientRect_5(hWnd, lpRect)", extension[1])
        self.assertIn("      TYPE(BORDERWIDTHS) :: lpRect", extension)
        self.assertNotIn("      TYPE(BORDERWIDTHS) :: lpRect", lines)

    def test_slots(self):
        # The role of an argument and the forms it takes, by its C type.
        typedefs, known = structures()
        for c_type, c_name, role, forms in (
                ("HWND", "hWnd", HANDLE, ["INTEGER(C_INTPTR_T), VALUE",
                                          "TYPE(C_PTR), VALUE"]),
                ("HGLOBAL", "hMem", HANDLE, ["INTEGER(C_INTPTR_T), VALUE",
                                             "TYPE(C_PTR), VALUE"]),
                ("WORD", "wAttributes", NARROW, ["INTEGER(C_INT32_T), VALUE",
                                                 "INTEGER(C_INT16_T), VALUE"]),
                ("LPCSTR", "lpText", STRING, [
                    "CHARACTER(KIND=C_CHAR), OPTIONAL", "CHARACTER(KIND=C_CHAR)",
                    "CHARACTER(KIND=C_CHAR), OPTIONAL", "TYPE(C_PTR), VALUE"]),
                ("LPCWSTR", "lpText", WIDE, ["INTEGER(C_INT16_T), OPTIONAL",
                                             "TYPE(C_PTR), VALUE"]),
                ("LPDWORD", "lpcb", SCALAR, ["INTEGER(C_INT32_T), OPTIONAL",
                                             "TYPE(C_PTR), VALUE"]),
                ("LPLOGA", "plf", STRUCTURE, ["TYPE(LOGA), OPTIONAL",
                                              "TYPE(C_PTR), VALUE", "TYPE(LOG)",
                                              "TYPE(tagLOGA)"]),
                ("LPVOID", "pv", PLAIN, ["TYPE(C_PTR), VALUE"]),
                ("DWORD", "n", PLAIN, ["INTEGER(C_INT32_T), VALUE"])):
            slot = argument_slot(resolve(c_type, typedefs), known, False, False,
                                 c_name, c_type)
            self.assertEqual((slot.role, [f.declaration for f in
                                          list(slot.forms.values()) + slot.aliases]),
                             (role, forms), c_type)
        reserved = argument_slot(resolve("LPDWORD", typedefs), known, c_name="lpReserved")
        self.assertTrue(reserved.reserved)

    def test_resource_string_takes_array_scalar_number_and_c_ptr(self):
        lines = interface_lines("LoadCursorA", declaration(
            "HWND (HWND, LPSTR)", [("hInstance", "HWND"), ("lpCursorName", "LPSTR")]),
            TYPEDEFS, None, ("lpCursorName",))
        declared = {l.strip() for l in lines if "lpCursorName" in l and "::" in l}
        self.assertEqual(sorted(declared), [
            "CHARACTER(KIND=C_CHAR) :: lpCursorName(*)",
            "CHARACTER(KIND=C_CHAR), OPTIONAL :: lpCursorName",
            "INTEGER(C_INTPTR_T), VALUE :: hInstance, lpCursorName",
            "INTEGER(C_INTPTR_T), VALUE :: lpCursorName",
            "TYPE(C_PTR), VALUE :: hInstance, lpCursorName",
            "TYPE(C_PTR), VALUE :: lpCursorName"])

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

if __name__ == "__main__":
    unittest.main()
