import unittest

from libgen.library_files import library_text, master_store_bytes, master_text


class LibraryTextTest(unittest.TestCase):
    def test_blocks_in_name_order_with_headers_and_crlf(self):
        text = library_text(("C     {library} from {dll}",), "LZ32", "lz32.dll",
                            {"b": ["      B"], "A": ["      A1", "      A2"]})
        self.assertEqual(text, "C     LZ32 from lz32.dll\r\nC*A\r\n      A1\r\n"
                               "      A2\r\nC*b\r\n      B\r\n")


class MasterListTest(unittest.TestCase):
    def test_one_entry_per_line_with_library_remark(self):
        entries = [("GetDC", "USER32"), ("MB_OK", "USER32")]
        self.assertEqual(master_text(entries),
                         "GetDC USER32\r\nMB_OK USER32\r\n")
        # The store keeps each name and one terminator.
        self.assertEqual(master_store_bytes(entries), 12)


if __name__ == "__main__":
    unittest.main()
