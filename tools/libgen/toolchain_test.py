import io
import json
import unittest

from libgen.toolchain import _top_level_declarations, header_base_name


def dump(nodes):
    """A translation unit in the layout of clang's JSON dump."""
    unit = {"id": "0x1", "kind": "TranslationUnitDecl", "inner": nodes}
    return io.StringIO(json.dumps(unit, indent=2) + "\n")


class TopLevelDeclarationsTest(unittest.TestCase):
    def test_keeps_typedefs_and_wanted_functions_only(self):
        nodes = [
            {"id": "0x2", "kind": "TypedefDecl", "name": "DWORD",
             "type": {"qualType": "unsigned long"}},
            {"id": "0x3", "kind": "FunctionDecl", "loc": {"line": 1},
             "name": "GetTickCount", "type": {"qualType": "DWORD (void)"}},
            {"id": "0x4", "kind": "FunctionDecl", "name": "Unwanted",
             "type": {"qualType": "void (void)"}},
            {"id": "0x5", "kind": "RecordDecl", "name": "tagRECT",
             "inner": [{"id": "0x6", "kind": "FunctionDecl",
                        "name": "GetTickCount"}]},
        ]
        found = list(_top_level_declarations(dump(nodes), {"GetTickCount"}))
        self.assertEqual([(n["kind"], n["name"]) for n in found],
                         [("TypedefDecl", "DWORD"),
                          ("FunctionDecl", "GetTickCount")])
        self.assertEqual(found[1]["type"]["qualType"], "DWORD (void)")


class HeaderBaseNameTest(unittest.TestCase):
    def test_only_mingw_headers_have_a_name(self):
        self.assertEqual(header_base_name(
            "/usr/share/mingw-w64/include/winuser.h"), "winuser.h")
        self.assertEqual(header_base_name(
            "/usr/x86_64-w64-mingw32/include/psdk_inc/x.h"), "psdk_inc/x.h")
        self.assertIsNone(header_base_name("<built-in>"))
        self.assertIsNone(header_base_name(
            "/usr/lib/gcc/x86_64-w64-mingw32/12-win32/include/stddef.h"))


if __name__ == "__main__":
    unittest.main()
