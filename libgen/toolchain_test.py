import io
import json
import unittest

from libgen.toolchain import _top_level_declarations, header_base_name


def dump(nodes):
    """A translation unit in the layout of clang's JSON dump."""
    unit = {"id": "0x1", "kind": "TranslationUnitDecl", "inner": nodes}
    return io.StringIO(json.dumps(unit, indent=2) + "\n")


class TopLevelDeclarationsTest(unittest.TestCase):
    def test_keeps_typedefs_records_and_wanted_functions_only(self):
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
            {"id": "0x7", "kind": "VarDecl", "name": "unwanted"},
        ]
        found = [n for n, _ in _top_level_declarations(dump(nodes), {"GetTickCount"})]
        self.assertEqual([(n["id"], n["kind"], n["name"]) for n in found],
                         [("0x2", "TypedefDecl", "DWORD"),
                          ("0x3", "FunctionDecl", "GetTickCount"),
                          ("0x5", "RecordDecl", "tagRECT")])
        self.assertEqual(found[1]["type"]["qualType"], "DWORD (void)")

    def test_file_is_followed_where_clang_names_it_only_once(self):
        header = "/usr/share/mingw-w64/include/windef.h"
        nodes = [
            {"id": "0x2", "kind": "TypedefDecl", "name": "A",
             "loc": {"file": header, "line": 1,
                     "includedFrom": {"file": "/tmp/unit.c"}},
             "type": {"qualType": "int"}},
            {"id": "0x3", "kind": "TypedefDecl", "name": "B", "loc": {"line": 2},
             "type": {"qualType": "int"}},
        ]
        self.assertEqual([f for _, f in _top_level_declarations(dump(nodes), set())],
                         [header, header])


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
