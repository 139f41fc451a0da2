import unittest

from libgen.fixed_form import integer_literal, parameter_lines, statement_lines


def joined(lines):
    """The statement text of fixed-form lines, continuation marks removed."""
    text = lines[0][6:]
    for line in lines[1:]:
        text += line[6:]
    return text


class StatementLinesTest(unittest.TestCase):
    def test_short_statement_is_one_line_from_column_7(self):
        self.assertEqual(statement_lines("END FUNCTION F"),
                         ["      END FUNCTION F"])

    def test_long_statement_breaks_into_valid_continuations(self):
        names = ", ".join("argumentNumber%d" % n for n in range(12))
        lines = statement_lines("FUNCTION LongOne(%s)" % names)
        self.assertGreater(len(lines), 1)
        for line in lines:
            self.assertLessEqual(len(line), 72)
            self.assertEqual(line, line.rstrip())
        for line in lines[1:]:
            self.assertEqual(line[:6], "     &")
        # Blanks are insignificant in fixed form: the text must survive.
        self.assertEqual(joined(lines).replace(" ", ""),
                         ("FUNCTION LongOne(%s)" % names).replace(" ", ""))

    def test_long_name_is_kept_whole_by_breaking_after_the_parenthesis(self):
        name = "ConvertSecurityDescriptorToStringSecurityDescriptorA"
        lines = statement_lines("FUNCTION %s(SecurityDescriptor, Revision)"
                                % name)
        self.assertEqual(lines[0], "      FUNCTION %s(" % name)

    def test_parenthesised_value_stays_whole(self):
        lines = parameter_lines("A_RATHER_LONG_CONSTANT_NAME_OF_SOME_KIND",
                                "C_INT32_T", -2**31)
        self.assertTrue(lines[-1].endswith(" (-2147483647-1)"), lines)

    def test_character_literal_is_not_broken_at_its_blanks(self):
        literal = "'" + "A B," * 12 + "'"
        lines = statement_lines("CALL SOMETHINGLONGER(%s, XYZ)" % literal)
        self.assertIn(literal, joined(lines))

    def test_word_longer_than_a_line_is_split_without_loss(self):
        word = "X" * 150
        lines = statement_lines(word)
        self.assertTrue(all(len(line) <= 72 for line in lines))
        self.assertEqual(joined(lines), word)

    def test_tail_stays_on_the_first_line_when_everything_fits(self):
        self.assertEqual(statement_lines("FUNCTION F()", tail="BIND(C)"),
                         ["      FUNCTION F() BIND(C)"])

    def test_tail_starts_its_own_continuation_when_too_long(self):
        lines = statement_lines("FUNCTION %s()" % ("F" * 50),
                                tail="BIND(C, NAME='%s')" % ("F" * 50))
        self.assertEqual(lines[0], "      FUNCTION %s()" % ("F" * 50))
        self.assertTrue(lines[1].startswith("     &  BIND(C,"))

    def test_remark_is_added_only_when_it_fits(self):
        self.assertEqual(statement_lines("INTEGER :: I", remark="int"),
                         ["      INTEGER :: I ! int"])
        long_statement = "INTEGER :: " + "I" * 55
        self.assertNotIn("!", statement_lines(long_statement, remark="int")[-1])


class IntegerLiteralTest(unittest.TestCase):
    def test_default_range_values_are_plain(self):
        self.assertEqual(integer_literal(-5, "C_INT32_T"), "-5")
        self.assertEqual(integer_literal(2**31 - 1, "C_INT64_T"), "2147483647")

    def test_most_negative_values_are_written_as_differences(self):
        # -2147483648 alone overflows: the literal is read before the minus.
        self.assertEqual(integer_literal(-2**31, "C_INT32_T"), "(-2147483647-1)")
        self.assertEqual(integer_literal(-2**63, "C_INT64_T"),
                         "(-9223372036854775807_C_INT64_T-1)")

    def test_wide_values_carry_the_kind(self):
        self.assertEqual(integer_literal(2**40, "C_INTPTR_T"),
                         "1099511627776_C_INTPTR_T")

    def test_parameter_declaration(self):
        self.assertEqual(parameter_lines("WM_USER", "C_INT32_T", 1024),
                         ["      INTEGER(C_INT32_T), PARAMETER :: WM_USER = 1024"])


if __name__ == "__main__":
    unittest.main()
