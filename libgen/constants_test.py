import unittest

from libgen.constants import (assign_libraries, enumerator_candidates,
                              macro_candidates, make_constant, record_macros,
                              string_macros, string_value, wrap_signed)
from libgen.fortran_names import likely_variable_name

MINGW = "/usr/share/mingw-w64/include/"


class MacroCandidatesTest(unittest.TestCase):
    PREPROCESSED = "\n".join([
        '# 1 "%swinuser.h"' % MINGW,
        "#define WM_USER 0x0400",
        "#define MAKEWORD(a, b) ((a) | (b))",
        '#define WC_DIALOG "#32770"',
        "#define EMPTY_MARKER",
        "#define GONE 1",
        '# 1 "/usr/lib/gcc/x86_64-w64-mingw32/12-win32/include/stddef.h"',
        "#define offsetof_helper 8",
        '# 1 "%swingdi.h"' % MINGW,
        "#undef GONE",
        "#define WM_USER 0x0400",
    ])

    def test_only_integer_candidates_of_mingw_headers_remain(self):
        self.assertEqual(macro_candidates(self.PREPROCESSED),
                         {"WM_USER": {"winuser.h", "wingdi.h"}})


class StringAndRecordMacrosTest(unittest.TestCase):
    PREPROCESSED = "\n".join([
        '# 1 "%scommctrl.h"' % MINGW,
        '#define PROGRESS_CLASSA "msctls_progress32"',
        '#define PROGRESS_CLASSW L"msctls_progress32"',
        '#define JOINED "ab" "cd"',
        '#define WITH_TAB "a\\tb"',
        '#define CALLED(x) "x"',
        '# 1 "%sras.h"' % MINGW,
        "#define RASENTRYA struct tagRASENTRYA",
        "#define LPRASENTRYA RASENTRYA*",
    ])

    def test_narrow_printable_string_literals_are_string_constants(self):
        self.assertEqual(string_macros(self.PREPROCESSED), {
            "PROGRESS_CLASSA": ("commctrl.h", "msctls_progress32"),
            "JOINED": ("commctrl.h", "abcd")})

    def test_macros_standing_for_a_record(self):
        self.assertEqual(record_macros(self.PREPROCESSED),
                         {"RASENTRYA": "struct tagRASENTRYA"})

    def test_escapes_of_printable_characters_are_read(self):
        cases = {r'"a\\b"': "a\\b", r'"it\'s"': "it's", r'"q\"q"': 'q"q',
                 r'"\n"': None, '""': ""}
        for body, text in cases.items():
            self.assertEqual(string_value(body), text, body)


class LikelyVariableNameTest(unittest.TestCase):
    def test_short_names_and_lower_case_control_numbers(self):
        cases = {"CX": True, "CY": True, "X1": True, "I": True, "rad1": True,
                 "stc32": True, "MSG": False, "IDOK": False, "RAD1": False,
                 "KP_X": False, "chx": False, "STRING": True}
        for name, likely in cases.items():
            self.assertEqual(likely_variable_name(name), likely, name)


class EnumeratorCandidatesTest(unittest.TestCase):
    def test_enumerators_with_their_header(self):
        preprocessed = "\n".join([
            '# 1 "%scommctrl.h"' % MINGW,
            "typedef enum tagX {",
            "  X_ONE = MAKE(1, 2),",
            "  X_TWO,",
            "} X;",
            '# 1 "%swinuser.h"' % MINGW,
            "enum { Y_ONE = 1 };",
        ])
        self.assertEqual(enumerator_candidates(preprocessed),
                         {"X_ONE": {"commctrl.h"}, "X_TWO": {"commctrl.h"},
                          "Y_ONE": {"winuser.h"}})


class AssignLibrariesTest(unittest.TestCase):
    def test_earliest_library_in_table_order_wins(self):
        self.assertEqual(assign_libraries({"A": {"winreg.h", "wingdi.h"},
                                           "B": {"winreg.h"},
                                           "C": {"mmsystem.h"}}),
                         {"A": 1, "B": 12})


class MakeConstantTest(unittest.TestCase):
    def test_unsigned_values_keep_their_bit_pattern(self):
        self.assertEqual(wrap_signed(0x80000000, 4), -2**31)
        self.assertEqual(wrap_signed(0xFFFF, 2), -1)
        self.assertEqual(wrap_signed(5, 1), 5)

    def test_kinds_follow_the_size(self):
        cases = {(5, 4, 1): ("C_INT32_T", 5), (0xFFFF, 2, 1): ("C_INT16_T", -1),
                 (2**40, 8, 1): ("C_INT64_T", 2**40), (1, 1, 4): ("C_INT8_T", 1),
                 (7, 4, 3): ("C_INT32_T", 7)}
        for probe, (kind, value) in cases.items():
            constant = make_constant("X", 0, probe)
            self.assertEqual((constant.kind, constant.value), (kind, value))

    def test_byte_member_constants_of_128_or_more_are_bytes(self):
        cases = {"RUSSIAN_CHARSET": (204, "C_INT8_T", -52),
                 "OEM_CHARSET": (255, "C_INT8_T", -1),
                 "CLIP_EMBEDDED": (128, "C_INT8_T", -128),
                 "ANSI_CHARSET": (0, "C_INT32_T", 0),
                 "CLIP_TO_PATH": (4097, "C_INT32_T", 4097),
                 "WM_CHAR": (258, "C_INT32_T", 258)}
        for name, (value, kind, stored) in cases.items():
            constant = make_constant(name, 1, (value, 4, 1))
            self.assertEqual((constant.kind, constant.value), (kind, stored), name)

    def test_pointer_constants_are_pointer_sized(self):
        constant = make_constant("HKEY_LOCAL_MACHINE", 12, (0xFFFFFFFF80000002, 8, 5))
        self.assertEqual((constant.kind, constant.value),
                         ("C_INTPTR_T", -2147483646))

    def test_non_integer_values_are_refused(self):
        self.assertIsNone(make_constant("PI", 0, (3, 8, 8)))      # double
        self.assertIsNone(make_constant("R", 0, (0, 16, 12)))     # structure


if __name__ == "__main__":
    unittest.main()
