import unittest

from libgen.interfaces import Structures
from libgen.macros import (Argument, Macro, _is_logical, _left_out,
                           argument_uses, c_source, function_macros,
                           kind_choices, macro_blocks, neutral_names,
                           result_type)

TYPEDEFS = {"WORD": "unsigned short", "BYTE": "unsigned char",
            "DWORD": "unsigned long", "DWORD_PTR": "unsigned long long",
            "LONG_PTR": "long long", "LPARAM": "LONG_PTR", "UINT": "unsigned int",
            "HWND": "struct HWND__ *", "LRESULT": "LONG_PTR",
            "LVITEMA": "struct tagLVITEMA"}
LONG_NAME = "M" * 64
HEADER = '# 1 "/usr/share/mingw-w64/include/%s"'


def preprocessed(header, *lines):
    return "\n".join([HEADER % header] + list(lines)) + "\n"


def function_decl(*parameters):
    return {"inner": [{"kind": "ParmVarDecl", "name": n, "type": {"qualType": t}}
                      for n, t in parameters]}


class FunctionMacrosTest(unittest.TestCase):
    def test_what_is_kept_and_why_the_others_are_left_out(self):
        kept, skipped = function_macros(preprocessed(
            "winuser.h",
            "#define LOWORD(l) ((WORD)(l))",
            "#define %s(x) (x)" % LONG_NAME,
            "#define MAX(a, b) ((a) > (b) ? (a) : (b))",
            "#define CX(a) (a)",
            "#define GetTickCount(x) (x)",
            "#define PostAppMessageA(t, m) (t)",
            "#define PostAppMessageW(t, m) (t)",
            "#define Trace(f, ...) (f)",             # variadic: dropped
            "#define Gone(x) (x)", "#undef Gone",
            "#define Object(x) (x)", "#define Object 1",
        ) + preprocessed("stdlib.h", "#define Elsewhere(x) (x)")
            .replace("/usr/share/mingw-w64/include/", "/usr/include/"),
            {"GETTICKCOUNT"})
        self.assertEqual(sorted(kept), ["LOWORD", "PostAppMessageA"])
        self.assertEqual(kept["LOWORD"].parameters, ["l"])
        self.assertEqual(skipped, {
            "not a Fortran name": [LONG_NAME],
            "name of a Fortran intrinsic": ["MAX"],
            "a likely variable name": ["CX"],
            "same name as a function, constant or type": ["GetTickCount"],
            "wide-character variant of an A macro": ["PostAppMessageW"]})


class ArgumentUsesTest(unittest.TestCase):
    def test_the_type_an_argument_takes_from_the_expansion(self):
        functions = {"SendMessageA": function_decl(
            ("hWnd", "HWND"), ("Msg", "UINT"), ("wParam", "WPARAM"),
            ("lParam", "LPARAM"))}
        for expansion, expected in (
                # The cast nearest to it, parentheses around it aside.
                ("((WORD)(((DWORD_PTR)(__pk0)) & 0xffff))",
                 ("DWORD_PTR", False, False, None)),
                # Passed whole to a function: that parameter's type.
                ("(LRESULT)SendMessageA((__pk0), 0x1000, 0, 0)",
                 ("HWND", False, False, ("SendMessageA", 0))),
                # Assigned to a member of a local structure.
                ("{ LVITEMA _ms; _ms.iSubItem = (__pk0); }",
                 ("__typeof__(((LVITEMA *)0)->iSubItem)", False, False, None)),
                # Its address taken, or called: no type, but told.
                ("SendMessageA(0, 0, 0, (LPARAM)&(__pk0))",
                 (None, True, False, None)),
                ("((__pk0)(0, 0))", (None, False, True, None)),
                # An operand only, or a function-like parenthesis before it.
                ("((__pk0) + 1)", (None, False, False, None)),
                ("(F(DWORD)(__pk0))", (None, False, False, None))):
            self.assertEqual(argument_uses(expansion, 1, functions, TYPEDEFS),
                             [expected], expansion)


class LeftOutTest(unittest.TestCase):
    def test_expansions_that_make_no_function(self):
        for expansion, reason in (
                ("", "no expansion"),
                ("(__pk0)", "hands back its argument"),
                ("{ (__pk0) = (__pk0); }", "hands back its argument"),
                ("(sizeof(__pk0) / sizeof((__pk0)[0]))",
                 "takes the size of its argument"),
                ("__builtin_bswap16(__pk0)", "calls a compiler intrinsic"),
                ("((WORD)(__pk0))", None),
                ("SendMessageA((__pk0), 0, 0, 0)", None)):
            self.assertEqual(_left_out(expansion), reason, expansion)


class ResultTypeTest(unittest.TestCase):
    def test_result_as_c_promotes_it(self):
        for c_type, logical, expected in (
                (None, False, "void"),
                ("void", False, "void"),
                ("int", True, "_Bool"),           # SUCCEEDED: a truth value
                ("WORD", False, "int"),           # LOWORD(-1) is 65535
                ("BYTE", False, "int"),
                ("DWORD", False, "DWORD"),
                ("LONG_PTR", False, "LONG_PTR"),
                ("HWND", False, "HWND")):
            self.assertEqual(result_type(c_type, logical, TYPEDEFS), expected)

    def test_a_comparison_is_a_truth_value_a_bit_operation_is_not(self):
        def operator(kind, opcode):
            return {"kind": kind, "opcode": opcode}
        for node, expected in (
                (operator("BinaryOperator", ">="), True),
                ({"kind": "ParenExpr", "inner": [operator("UnaryOperator", "!")]},
                 True),
                (operator("BinaryOperator", "&"), False),
                (operator("UnaryOperator", "-"), False)):
            self.assertEqual(_is_logical(node), expected, node)


def integers(count, address_taken=False):
    return [Argument("a%d" % i, "DWORD", True, address_taken)
            for i in range(count)]


class KindChoicesTest(unittest.TestCase):
    def test_kinds_per_integer_argument_within_sixteen_specifics(self):
        for arguments, forms, suffixes in (
                (integers(1), 1, ["_I1", "_I2", "_I4", "_I8"]),
                (integers(2), 1, 16),
                # Three integers: 64 mixes of four kinds, 8 of two.
                (integers(3), 1, ["_I4_I4_I4", "_I4_I4_I8", "_I4_I8_I4",
                                  "_I4_I8_I8", "_I8_I4_I4", "_I8_I4_I8",
                                  "_I8_I8_I4", "_I8_I8_I8"]),
                # Two forms of a pointer argument count against the limit.
                (integers(2) + [Argument("p", "LVITEMA *")], 2, 4),
                # An address taken: no narrow kinds, their bytes too few.
                (integers(1, address_taken=True), 1, ["_I4", "_I8"]),
                # Too many: each its C type alone.
                (integers(5), 1, [""]),
                ([Argument("h", "HWND")], 1, [""])):
            choices = kind_choices(arguments, forms)
            found = [suffix for suffix, _ in choices]
            if isinstance(suffixes, int):
                self.assertEqual(len(found), suffixes, arguments)
            else:
                self.assertEqual(found, suffixes, arguments)
        self.assertEqual(kind_choices(integers(2), 1)[1][1], {0: "I1", 1: "I2"})


class MacroBlocksTest(unittest.TestCase):
    def block(self, fortran_name=None, arguments=None, defined=()):
        macro = Macro("MAKEWORD", "minwindef.h", ["a", "b"], "", 2,
                      "((WORD)(((BYTE)(__pk0)) | ((WORD)((BYTE)(__pk1))) << 8))")
        return macro_blocks("MAKEWORD", macro, arguments or integers(2)[:1] + [
            Argument("b", "BYTE", True)], "int", TYPEDEFS, Structures,
            set(defined), fortran_name)

    def test_one_specific_per_kind_mix_each_bound_to_its_c_function(self):
        block = self.block()
        self.assertEqual(len(block.wrappers), 16)
        self.assertEqual(block.wrappers[1].c_name, "pareskit_MAKEWORD_I1_I2")
        self.assertEqual(block.wrappers[1].arguments,
                         [("signed char", "a0"), ("short", "b")])
        self.assertEqual(block.lines.count("      INTERFACE MAKEWORD"), 16)
        self.assertIn("      INTEGER(C_INT32_T) FUNCTION MAKEWORD_I1_I2(a0, b)"
                      .ljust(72) + "&", block.lines)
        self.assertIn("     &  BIND(C, NAME='pareskit_MAKEWORD_I1_I2')", block.lines)
        self.assertTrue(block.lines[0].startswith(
            "      ! MAKEWORD: the C macro MAKEWORD(a, b) of minwindef.h"))

    def test_neutral_name_is_a_generic_over_the_a_macros_functions(self):
        block = self.block("NEUTRAL")
        self.assertIn("      INTERFACE NEUTRAL", block.lines)
        self.assertIn("     &  BIND(C, NAME='pareskit_MAKEWORD_I8_I8')", block.lines)

    def test_c_source_of_value_and_statement_macros(self):
        block = self.block(arguments=[Argument("a", "DWORD"),
                                      Argument("b", "HWND")], defined={"b"})
        self.assertEqual(block.wrappers[0].arguments,
                         [("DWORD", "a"), ("HWND", "p_b")])   # b: a macro's name
        statement = block.wrappers[0].__class__(
            "pareskit_Edit_SetText", "void", [("HWND", "hwnd")], True,
            "Edit_SetText(hwnd)")
        lines = c_source("USER32", [block.wrappers[0], statement]).splitlines()
        self.assertIn("#include <windowsx.h>", lines)
        self.assertEqual(lines[-2:], [
            "int pareskit_MAKEWORD(DWORD a, HWND p_b) { return MAKEWORD(a, p_b); }",
            "void pareskit_Edit_SetText(HWND hwnd) { Edit_SetText(hwnd); }"])


class NeutralNamesTest(unittest.TestCase):
    def test_only_names_the_headers_map_to_a_written_a_macro(self):
        text = preprocessed(
            "winuser.h",
            "#define CreateWindow __MINGW_NAME_AW(CreateWindow)",
            "#define DialogBox __MINGW_NAME_AW(DialogBox)",
            "#define LoadString __MINGW_NAME_AW(LoadString)",
            "#define CreateDialog __MINGW_NAME_AW(CreateDialogParam)")
        self.assertEqual(neutral_names(text, {"CreateWindowA", "DialogBoxA",
                                              "CreateDialogA"}),
                         {"CreateWindow": "CreateWindowA",
                          "DialogBox": "DialogBoxA"})


if __name__ == "__main__":
    unittest.main()
