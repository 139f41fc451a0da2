import unittest

from libgen.guids import (StructureConstant, constant_lines, guid_definitions,
                          guid_text, initializer_macros, library_of_guid_header,
                          parse_initializer)
from libgen.libraries import LIBRARIES

HEADER = '# 1 "/usr/share/mingw-w64/include/%s"'
DOCUMENTS = ((0xFDD39AD0,), (0x238F,), (0x46AF,),
             (0xAD, 0xB4, 0x6C, 0x85, 0x48, 0x03, 0x69, 0xC7))


class ParseInitializerTest(unittest.TestCase):
    def test_values_grouped_by_component(self):
        for text, expected in (
                ("{ 0x1, 2, { 3, 4 } }", ((1,), (2,), (3, 4))),
                ("{ (0x10UL), 0x7fffL }", ((16,), (0x7FFF,))),
                ("{0,0,0,0,0,5}", ((0,), (0,), (0,), (0,), (0,), (5,))),
                # A name or an expression: not a constant of numbers.
                ("{ FOO, 1 }", None),
                ("{ 1 + 2 }", None)):
            self.assertEqual(parse_initializer(text), expected, text)


class DefinitionsTest(unittest.TestCase):
    def test_guids_of_their_shape_with_their_headers(self):
        text = "\n".join([
            HEADER % "knownfolders.h",
            "const GUID __attribute__((selectany)) FOLDERID_Documents = "
            "{ 0xFDD39AD0, 0x238F, 0x46AF,{ 0xAD, 0xB4, 0x6C, 0x85, 0x48, "
            "0x03, 0x69, 0xC7 } };",
            HEADER % "winnt.h",
            "const GUID Short = { 1, 2, 3 };",
            "extern const GUID Declared;"])
        self.assertEqual(guid_definitions(text),
                         [("FOLDERID_Documents", "knownfolders.h", DOCUMENTS)])

    def test_initializer_macros_by_name_and_shape(self):
        text = "\n".join([
            HEADER % "winnt.h",
            "#define SECURITY_NT_AUTHORITY {0,0,0,0,0,5}",
            "#define SYSTEM_LUID { 0x3e7, 0x0 }",
            "#define SHORT_AUTHORITY {0,5}",           # no type of that shape
            "#define NAMED_AUTHORITY {0,0,0,0,0,X}",
            "#define NOT_BRACED 5"])
        self.assertEqual(initializer_macros(text), [
            ("SECURITY_NT_AUTHORITY", "winnt.h", "SID_IDENTIFIER_AUTHORITY",
             ((0, 0, 0, 0, 0, 5),)),
            ("SYSTEM_LUID", "winnt.h", "LUID", ((0x3E7,), (0,)))])

    def test_the_shells_guid_headers_go_with_shell32(self):
        for header, library in (("knownfolders.h", "SHELL32"),
                                ("shobjidl.h", "SHELL32"),
                                ("winnt.h", "KERNEL32"), ("ole2.h", None)):
            index = library_of_guid_header(header)
            self.assertEqual(None if index is None else LIBRARIES[index].name,
                             library, header)


class ConstantLinesTest(unittest.TestCase):
    def test_parameters_hold_the_bit_patterns_of_the_signed_kinds(self):
        for constant, expected in (
                (StructureConstant(
                    "FOLDERID_X", "GUID", 0,
                    ((0xFFFFFFFF,), (0x8000,), (0x7FFF,),
                     (0, 1, 0x7F, 0x80, 0xFF, 5, 6, 7)), "FOLDERID_X."),
                 ["      ! FOLDERID_X.",
                  "      TYPE(GUID), PARAMETER :: FOLDERID_X = GUID(-1, -32768, "
                  "32767, [0, &",
                  "     &  1, 127, -128, -1, 5, 6, 7])"]),
                # One array member: an array even of one value each.
                (StructureConstant("SECURITY_NT_AUTHORITY",
                                   "SID_IDENTIFIER_AUTHORITY", 0,
                                   ((0, 0, 0, 0, 0, 5),), "A."),
                 ["      ! A.",
                  "      TYPE(SID_IDENTIFIER_AUTHORITY), PARAMETER :: "
                  "SECURITY_NT_AUTHORITY&",
                  "     &  = SID_IDENTIFIER_AUTHORITY([0, 0, 0, 0, 0, 5])"]),
                (StructureConstant("SYSTEM_LUID", "LUID", 0,
                                   ((0x3E7,), (0,)), "L."),
                 ["      ! L.",
                  "      TYPE(LUID), PARAMETER :: SYSTEM_LUID = LUID(999, 0)"])):
            self.assertEqual(constant_lines(constant), expected)

    def test_registry_spelling(self):
        self.assertEqual(guid_text(DOCUMENTS),
                         "{FDD39AD0-238F-46AF-ADB4-6C85480369C7}")


if __name__ == "__main__":
    unittest.main()
