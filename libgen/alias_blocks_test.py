import unittest

from libgen.alias_blocks import (extension_forwarding_lines, forwarding_lines,
                                 generic_specifics)
from libgen.interfaces import interface_lines


def declaration(parameters):
    return {"type": {"qualType": "int (%s)" % ", ".join(t for _, t in parameters)},
            "inner": [{"kind": "ParmVarDecl", "name": name, "type": {"qualType": t}}
                      for name, t in parameters]}


TYPEDEFS = {"LPDWORD": "unsigned long *", "LPSTR": "char *"}


class GenericSpecificsTest(unittest.TestCase):
    def test_specifics_of_a_generic_and_none_of_a_plain_block(self):
        generic = interface_lines("GetSizeA", declaration(
            [("lpSize", "LPDWORD")]), TYPEDEFS)
        plain = interface_lines("Sleep", declaration([("n", "int")]), TYPEDEFS)
        self.assertEqual(generic_specifics(generic), ["GetSizeA", "GetSizeA_2"])
        self.assertEqual(generic_specifics(plain), [])

    def test_forwarding_generic_has_no_continued_statement(self):
        specifics = ["CreateWindowExA_%d" % n for n in range(1, 13)]
        lines = forwarding_lines("CreateWindowEx", specifics, "C's name of X")
        self.assertEqual(lines[:2], ["      ! CreateWindowEx: C's name of X.",
                                     "      INTERFACE CreateWindowEx"])
        self.assertEqual(lines[-1], "      END INTERFACE CreateWindowEx")
        procedures = [line for line in lines if "PROCEDURE" in line]
        self.assertGreater(len(procedures), 1)
        self.assertTrue(all(len(line) <= 72 for line in lines))
        self.assertEqual(sum((line.split(" ", 7)[-1].split(", ")
                              for line in procedures), []), specifics)


class ExtensionForwardingTest(unittest.TestCase):
    def test_other_names_take_the_specifics_a_type_adds(self):
        chunk = interface_lines("GetSizeA", declaration([("lpSize", "LPDWORD")]),
                                TYPEDEFS, specific="GetSizeA_5")
        lines = extension_forwarding_lines(chunk, {
            "GetSizeA": ["GetSize", "SizeOf"], "Other": ["O"]})
        procedures = "      PROCEDURE " + ", ".join(generic_specifics(chunk))
        self.assertEqual(lines, [
            "      INTERFACE GetSize", procedures, "      END INTERFACE GetSize",
            "      INTERFACE SizeOf", procedures, "      END INTERFACE SizeOf"])
        self.assertEqual(extension_forwarding_lines(chunk, {"Other": ["O"]}), [])


if __name__ == "__main__":
    unittest.main()
