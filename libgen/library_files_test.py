import unittest

from libgen.library_files import (block_order, library_text, master_store_bytes,
                                  master_text)


class LibraryFilesTest(unittest.TestCase):
    def test_a_needed_block_comes_before_the_first_block_needing_it(self):
        blocks = {"MSG": [], "PAINTSTRUCT": [], "POINT": [], "RECT": [], "A": []}
        needs = {"MSG": ["POINT"], "PAINTSTRUCT": ["RECT", "OTHER_FILE"],
                 "RECT": ["POINT"]}
        self.assertEqual(block_order(blocks, needs),
                         ["A", "POINT", "MSG", "RECT", "PAINTSTRUCT"])

    def test_master_list_entries_carry_their_needs_lines(self):
        entries = [("PAINTSTRUCT", "USER32"), ("RECT", "USER32")]
        needs = {"PAINTSTRUCT": ["RECT"]}
        self.assertEqual(master_text(entries, needs),
                         "PAINTSTRUCT USER32\r\n+RECT\r\nRECT USER32\r\n")
        self.assertEqual(master_store_bytes(entries, needs), 12 + 6 + 5)

    def test_version_line_before_the_first_block_and_reasons_name_the_list(self):
        text = library_text(("C     {library}.FD",), "USER32", "user32.dll",
                            {"X": ["      X"]}, {"DLGTEMPLATE": "not written"},
                            master="MASTERFD.LIS", version="C     Library set 3.0 (x)")
        self.assertEqual(text.split("\r\n")[:3], [
            "C     USER32.FD", "C     Library set 3.0 (x)", "C*X"])
        self.assertIn("C     Listed in MASTERFD.LIS without a block", text)
        self.assertIn("C     DLGTEMPLATE: not written\r\n", text)

    def test_a_long_reason_is_wrapped_under_its_name(self):
        reason = "wide-character variant of %s, which has no block either" % ("X" * 60)
        text = library_text((), "USER32", "user32.dll", {}, {"XW": reason})
        lines = text.split("\r\n")
        start = lines.index("C     XW:")
        self.assertTrue(all(len(line) <= 80 for line in lines))
        self.assertEqual(" ".join(line[8:] for line in lines[start + 1:-1]), reason)


if __name__ == "__main__":
    unittest.main()
