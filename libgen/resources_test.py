import unittest

from libgen.resources import resource_arguments


def prototype(*names):
    return {"inner": [{"kind": "ParmVarDecl", "name": n} for n in names]}


class ResourceArgumentsTest(unittest.TestCase):
    def test_a_functions_and_their_w_twins(self):
        for name, parameters, expected in (
                ("LoadCursorA", ("hInstance", "lpCursorName"), ("lpCursorName",)),
                ("LoadCursorW", ("hInstance", "lpCursorName"), ("lpCursorName",)),
                ("FindResourceExW", ("hModule", "lpType", "lpName", "wLanguage"),
                 ("lpType", "lpName")),
                ("DrawTextW", ("hdc", "lpchText"), ())):
            self.assertEqual(resource_arguments(name, prototype(*parameters)),
                             expected, name)

    def test_a_parameter_the_prototype_lacks_is_refused(self):
        with self.assertRaises(ValueError):
            resource_arguments("LoadIconW", prototype("hInstance", "lpName"))


if __name__ == "__main__":
    unittest.main()
