import unittest

from libgen.source_form import (comment_lines, integer_literal,
                                parameter_lines, statement_lines,
                                string_parameter_lines)


def joined(lines):
    """The statement text of the lines, read as fixed form: columns 7 to 72
    of each, the continuation marks in columns 6 and 73 dropped."""
    return "".join(line[6:72].rstrip() if line.endswith("&") else line[6:72]
                   for line in lines)


def free_form_joined(lines):
    """The same lines read as free form: a line ending in "&" goes on right
    after the "&" of the next."""
    text = ""
    for line in lines:
        body = (line[line.index("&") + 1:] if line[:6].strip() == "&"
                else line.lstrip())
        text += body[:-1] if body.endswith("&") else body
    return text


class StatementLinesTest(unittest.TestCase):
    def test_short_statement_is_one_line_from_column_7(self):
        self.assertEqual(statement_lines("END FUNCTION F"),
                         ["      END FUNCTION F"])

    def test_continued_lines_carry_marks_for_both_forms(self):
        names = ", ".join("argumentNumber%d" % n for n in range(12))
        statement = "FUNCTION LongOne(%s)" % names
        lines = statement_lines(statement)
        self.assertGreater(len(lines), 1)
        for line in lines[:-1]:
            self.assertEqual((len(line), line[72]), (73, "&"))
        for line in lines[1:]:
            self.assertEqual(line[:6], "     &")
        self.assertLessEqual(len(lines[-1]), 72)
        self.assertEqual(joined(lines).replace(" ", ""), statement.replace(" ", ""))
        self.assertEqual(" ".join(free_form_joined(lines).split()),
                         " ".join(statement.split()))

    def test_word_or_literal_cut_goes_on_exactly_in_both_forms(self):
        word, literal = "X" * 150, "'%s'" % ("A B," * 20)
        lines = statement_lines(word)
        self.assertEqual((joined(lines), free_form_joined(lines)), (word, word))
        lines = statement_lines("CALL SOMETHINGLONGER(%s, XYZ)" % literal)
        self.assertIn(literal, joined(lines))
        self.assertIn(literal, free_form_joined(lines))

    def test_long_name_is_kept_whole_by_breaking_after_the_parenthesis(self):
        name = "ConvertSecurityDescriptorToStringSecurityDescriptorA"
        lines = statement_lines("FUNCTION %s(SecurityDescriptor, Revision)"
                                % name)
        self.assertEqual(lines[0].rstrip(" &"), "      FUNCTION %s(" % name)

    def test_tail_stays_on_the_first_line_when_everything_fits(self):
        self.assertEqual(statement_lines("FUNCTION F()", tail="BIND(C)"),
                         ["      FUNCTION F() BIND(C)"])

    def test_remark_fits_by_column_80_or_moves_the_statement_break(self):
        self.assertEqual(statement_lines("INTEGER :: I", remark="int"),
                         ["      INTEGER :: I ! int"])
        lines = statement_lines("TYPE(C_PTR), VALUE :: " + "p" * 40,
                                remark="PSECURITY_DESCRIPTOR")
        self.assertEqual(len(lines), 2)
        self.assertTrue(lines[-1].endswith("! PSECURITY_DESCRIPTOR"))
        self.assertTrue(all(len(line) <= 80 for line in lines))

    def test_remark_too_long_for_any_line_follows_as_a_comment(self):
        lines = statement_lines("INTEGER :: " + "I" * 55, remark="x" * 70)
        self.assertEqual(lines[-1], "      ! " + "x" * 70)


class CommentLinesTest(unittest.TestCase):
    def test_words_wrap_within_column_72(self):
        lines = comment_lines(" ".join(["word"] * 40))
        self.assertTrue(all(l.startswith("      ! ") and len(l) <= 72
                            for l in lines))
        self.assertEqual(sum(l.count("word") for l in lines), 40)


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


class StringParameterTest(unittest.TestCase):
    def test_string_parameter_ends_in_null_and_doubles_quotes(self):
        cases = {"Button": "'Button' // C_NULL_CHAR",
                 "it's": "'it''s' // C_NULL_CHAR",
                 "Microsoft Enhanced RSA and AES Cryptographic Provider (x)":
                     "'Microsoft Enhanced RSA and AES Cryptographic Provider (x)'"
                     " // C_NULL_CHAR"}
        for text, literal in cases.items():
            lines = string_parameter_lines("S", text)
            self.assertTrue(lines[0].startswith(
                "      CHARACTER(KIND=C_CHAR, LEN=*), PARAMETER :: S"), text)
            for read in (joined, free_form_joined):
                self.assertTrue(" ".join(read(lines).split()).endswith(
                    "= " + literal), text)


if __name__ == "__main__":
    unittest.main()
