"""The committed examples/ set as the extractor reads it: every master-list
entry has exactly one block, in the library the list names, or is one the
library file lists as not translated; every block line survives copying
unchanged."""

import os
import unittest

from libgen.libraries import LIBRARIES

EXAMPLES = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__)))), "examples")


def read_lines(name):
    with open(os.path.join(EXAMPLES, name), "rb") as f:
        data = f.read()
    return data, data.split(b"\r\n")[:-1]


class ExampleSetTest(unittest.TestCase):
    def blocks(self, kind):
        """{folded name: library} of every block header of the kind, and of
        every name the file lists as not translated."""
        found = {}
        for library in LIBRARIES:
            data, lines = read_lines("%s.%s" % (library.name, kind))
            listing = False
            self.assertTrue(data.endswith(b"\r\n"))
            self.assertEqual(data.count(b"\n"), data.count(b"\r\n"))
            for line in lines:
                if line[:2] == b"C*":
                    name = line[2:].decode().upper()
                    self.assertNotIn(name, found, "two blocks for " + name)
                    found[name] = library.name
                elif line.startswith(b"C     Listed in MASTERFI.LIS"):
                    listing = True
                elif listing and b":" in line and b" " not in \
                        line[6:line.index(b":")]:
                    found[line[6:line.index(b":")].decode().upper()] = library.name
                elif line[:1] not in (b"C", b"c"):
                    # The extractor keeps 80 columns and strips blanks.
                    self.assertLessEqual(len(line), 80, line)
                    self.assertEqual(line, line.rstrip(b" \0"), line)
        return found

    def master(self, kind):
        data, lines = read_lines("MASTER%s.LIS" % kind)
        entries = [line.decode().split(" ") for line in lines]
        self.assertLessEqual(len(entries), 50000)
        self.assertLessEqual(sum(len(e[0]) + 1 for e in entries), 1500000)
        return {name.upper(): library for name, library in entries}

    def test_master_lists_match_the_library_blocks(self):
        for kind in ("FD", "FI"):
            self.assertEqual(self.master(kind), self.blocks(kind), kind)

    def test_no_name_is_both_a_constant_and_a_function(self):
        self.assertFalse(set(self.master("FD")) & set(self.master("FI")))


if __name__ == "__main__":
    unittest.main()
