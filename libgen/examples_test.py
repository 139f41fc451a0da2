"""The committed examples/ set as the extractor reads it: every master-list
entry has exactly one block, in the library the list names, or is one the
library file lists as not translated; every block line survives copying
unchanged; every block a block needs is an entry met before it."""

import os
import unittest

from libgen.libraries import LIBRARIES

EXAMPLES = os.path.join(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))), "examples")


def read_lines(name):
    with open(os.path.join(EXAMPLES, name), "rb") as f:
        data = f.read()
    return data, data.split(b"\r\n")[:-1]


class ExampleSetTest(unittest.TestCase):
    def blocks(self, kind, order=None, first_lines=None):
        """{folded name: library} of every block header of the kind, and of
        every name the file lists as not translated; the blocks' folded
        names in the job's walk order go to `order`, the first statement of
        each to `first_lines`."""
        found = {}
        order = [] if order is None else order
        first_lines = {} if first_lines is None else first_lines
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
                    order.append(name)
                elif line.startswith(b"C     Listed in MASTER%s.LIS" % kind.encode()):
                    listing = True
                elif listing and b":" in line and b" " not in \
                        line[6:line.index(b":")]:
                    found[line[6:line.index(b":")].decode().upper()] = library.name
                elif line[:1] not in (b"C", b"c"):
                    if line.lstrip()[:1] != b"!":
                        first_lines.setdefault(order[-1], line.decode().strip())
                    # The extractor keeps 80 columns and strips blanks.
                    self.assertLessEqual(len(line), 80, line)
                    self.assertEqual(line, line.rstrip(b" \0"), line)
        return found

    def master(self, kind, needs=None):
        """{folded name: library} of the list's entries; the folded names
        of each entry's needs lines go to `needs`."""
        data, lines = read_lines("MASTER%s.LIS" % kind)
        self.assertLessEqual(len(lines), 50000)
        self.assertLessEqual(sum(len(line.split(b" ")[0]) + 1 for line in lines),
                             1500000)
        entries, needs = {}, {} if needs is None else needs
        for line in lines:
            words = line.decode().split(" ")
            if words[0].startswith("+"):
                needs.setdefault(last, []).append(words[0][1:].upper())
            else:
                last = words[0].upper()
                entries[last] = words[1]
        return entries

    def test_master_lists_match_the_library_blocks(self):
        for kind in ("FD", "FI"):
            self.assertEqual(self.master(kind), self.blocks(kind), kind)

    def test_needed_blocks_are_entries_met_before_the_block_needing_them(self):
        needs, order = {}, []
        entries = self.master("FD", needs)
        self.blocks("FD", order)
        position = {name: index for index, name in enumerate(order)}
        self.assertIn("RECT", needs["PAINTSTRUCT"])
        for name, needed in needs.items():
            self.assertEqual(len(needed), len(set(needed)), name)
            for other in needed:
                self.assertIn(other, entries)
                self.assertLess(position[other], position[name], name)
                # The whole closure is on the entry itself.
                self.assertLessEqual(set(needs.get(other, [])), set(needed), name)

    def test_a_name_in_both_lists_is_a_type_and_interfaces_or_explained(self):
        fd_first, fi_first = {}, {}
        self.blocks("FD", first_lines=fd_first)
        self.blocks("FI", first_lines=fi_first)
        for name in set(self.master("FD")) & set(self.master("FI")):
            if name not in fd_first:
                continue   # listed with its reason
            self.assertTrue(fd_first[name].upper().startswith("TYPE, BIND(C)"), name)
            # Its generic, or the specifics another C name of a structure
            # adds to the generics of the functions taking it.
            self.assertTrue(fi_first[name].upper().startswith("INTERFACE "), name)


if __name__ == "__main__":
    unittest.main()
