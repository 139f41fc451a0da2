import unittest

from libgen.macro_names import first_of, macro_chains, macro_names

MINGW = "/usr/share/mingw-w64/include/"


def preprocessed(*defines):
    return "\n".join(['# 1 "%swinuser.h"' % MINGW] + list(defines))


class MacroChainsTest(unittest.TestCase):
    TEXT = preprocessed(
        "#define MessageBox __MINGW_NAME_AW(MessageBox)",
        "#define LV_ITEM LVITEM",
        "#define LVITEM __MINGW_NAME_AW(LVITEM)",
        "#define GetProp __MINGW_NAME_AW_EXT(GetProp, Ex)",
        "#define SEC_IDENTITY __MINGW_NAME_UAW(SEC_IDENTITY)",
        "#define SEC_QOS __MINGW_NAME_UAW_EXT(SEC_QOS, V2)",
        "#define ZeroMemory RtlZeroMemory",
        "#define RtlZeroMemory(d, n) memset((d), 0, (n))",
        "#define ANIMATE_CLASS __MINGW_NAME_AW(ANIMATE_CLASS)",
        '#define ANIMATE_CLASSA "SysAnimate32"',
        "#define WM_USER 0x0400",
        "#define LOOP LOOP2",
        "#define LOOP2 LOOP")

    def test_names_followed_through_macros(self):
        chains = {name: chain for name, (_, chain) in macro_chains(self.TEXT).items()}
        for name, chain in (("MessageBox", ("MessageBoxA",)),
                            ("LV_ITEM", ("LVITEM", "LVITEMA")),
                            ("GetProp", ("GetPropAEx",)),
                            ("SEC_IDENTITY", ("SEC_IDENTITY_A",)),
                            ("SEC_QOS", ("SEC_QOS_A_V2",)),
                            ("ZeroMemory", ("RtlZeroMemory",)),
                            ("ANIMATE_CLASS", ("ANIMATE_CLASSA",)),
                            ("LOOP", ("LOOP2",))):
            self.assertEqual(chains.pop(name), chain, name)
        # A string, a number and a function-like macro name nothing.
        self.assertEqual(set(chains), {"LVITEM", "LOOP2"})
        self.assertEqual(macro_chains(self.TEXT, "W")["LVITEM"][1], ("LVITEMW",))

    def test_neutral_when_unicode_names_another(self):
        plain = macro_chains(self.TEXT)
        unicode = macro_chains(preprocessed(
            "#define MessageBox __MINGW_NAME_AW(MessageBox)",
            "#define ZeroMemory RtlZeroMemory"), "W")
        found = macro_names(plain, unicode)
        self.assertTrue(found["MessageBox"].neutral)
        self.assertFalse(found["ZeroMemory"].neutral)
        self.assertFalse(found["LV_ITEM"].neutral)   # not defined with UNICODE
        self.assertEqual(first_of(found["LV_ITEM"], {"LVITEMA", "LVITEM"}), "LVITEM")
        self.assertIsNone(first_of(found["LV_ITEM"], set()))


if __name__ == "__main__":
    unittest.main()
