import unittest
from collections import Counter

from libgen.report import (AliasFindings, ConstantFindings, Findings,
                           FunctionFindings, LibraryCounts, MasterCounts,
                           NoteFindings, TypeFindings, report_text)


class ReportTextTest(unittest.TestCase):
    def test_lists_are_sorted_and_small_headers_left_out(self):
        functions = FunctionFindings()
        functions.skipped["no prototype in the headers"] += [
            ("USER32", "Zeta"), ("GDI32", "Alpha")]
        functions.skipped["a varargs function"].append(("USER32", "wsprintfA"))
        constants = ConstantFindings(
            unowned_headers=Counter({"big.h": 50, "small.h": 49}))
        constants.dropped["same name as a function"] += ["b2", "A1"]
        found = Findings(
            functions, constants, TypeFindings(), NoteFindings(),
            AliasFindings(), Counter(),
            [LibraryCounts("USER32", 9, 1, 5, 3, 7, 2, 1)],
            [MasterCounts("MASTERFI.LIS", 6, 0, 0, 120)],
            listed_only=4, abstract_interfaces=1, derived_types=2)
        lines = report_text(found).splitlines()
        self.assertIn("USER32           9       1          5       3         7"
                      "     2         1", lines)
        self.assertIn("MASTERFI.LIS: 6 entries, 0 needs lines for 0 entries, "
                      "120 bytes of symbol store", lines)
        self.assertIn("Skipped functions by reason: a varargs function 1, "
                      "no prototype in the headers 2", lines)
        start = lines.index("Functions not translated (no prototype in the "
                            "headers): 2")
        self.assertEqual(lines[start + 1:start + 3],
                         ["  GDI32     Alpha", "  USER32    Zeta"])
        self.assertLess(lines.index("Functions not translated (a varargs "
                                    "function): 1"), start)
        self.assertIn("  big.h                            50", lines)
        self.assertFalse(any("small.h" in line for line in lines))
        start = lines.index("Constants left out (same name as a function): 2")
        self.assertEqual(lines[start + 1:start + 3], ["  A1", "  b2"])


if __name__ == "__main__":
    unittest.main()
