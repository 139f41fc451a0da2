import unittest

from libgen.pipeline import point_wide_listings


class WideListingsTest(unittest.TestCase):
    def test_a_wide_variant_points_to_its_a_twin_only_when_that_has_a_block(self):
        listed = {0: {"GoodW": "wide-character variant: use GoodA",
                      "BareW": "wide-character variant: use BareA",
                      "VarW": "wide-character variant: use VarA"}}
        point_wide_listings(listed, {0: {"GoodA": []}}, {
            "no prototype in the headers": [("USER32", "BareA")]})
        self.assertEqual(listed[0], {
            "GoodW": "wide-character variant: use GoodA",
            "BareW": "wide-character variant of BareA, which has no block "
                     "either (no prototype in the headers)",
            "VarW": "wide-character variant of VarA, which has no block "
                    "either (listed)"})


if __name__ == "__main__":
    unittest.main()
