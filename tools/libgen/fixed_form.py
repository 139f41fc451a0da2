"""Fixed-form Fortran source lines: statements in columns 7 to 72, broken
onto continuation lines (a "&" in column 6) where they are longer."""

FIRST_COLUMN_TEXT = "      "
CONTINUATION = "     &  "
# A line cut inside a word or a character literal goes on exactly in
# column 7: blanks there would become part of the literal.
CONTINUATION_EXACT = "     &"
LAST_COLUMN = 72


def _break_position(text, limit):
    """Where to end a line of at most `limit` characters of the statement,
    and whether that is between tokens: after the last comma or the opening
    parenthesis of an argument list, or before the last blank, outside a
    character literal.  Without such a place the cut
    is at the limit, moved left past blanks so that the line does not end
    in one (the extractor strips trailing blanks when it copies)."""
    best, in_literal = 0, False
    for position, char in enumerate(text[:limit + 1]):
        if char == "'":
            in_literal = not in_literal
        elif not in_literal and 0 < position <= limit:
            if char == " " or text[position - 1] == "," or (
                    text[position - 1] == "(" and position > 1
                    and (text[position - 2].isalnum()
                         or text[position - 2] == "_")):
                best = position
    if best > 0:
        return best, True
    cut = limit
    while cut > 1 and text[cut - 1] == " ":
        cut -= 1
    return cut, False


def _continued_lines(text, prefix):
    lines = []
    while True:
        room = LAST_COLUMN - len(prefix)
        if len(text) <= room:
            lines.append((prefix + text).rstrip())
            return lines
        cut, between_tokens = _break_position(text, room)
        if between_tokens:
            lines.append((prefix + text[:cut]).rstrip())
            text, prefix = text[cut:].lstrip(), CONTINUATION
        else:
            lines.append(prefix + text[:cut])
            text, prefix = text[cut:], CONTINUATION_EXACT


def statement_lines(statement, remark="", tail=""):
    """The lines of one statement.  A tail (such as a BIND clause) is kept
    on the first line when the whole statement fits there and otherwise
    starts a continuation line of its own.  A remark becomes a trailing
    "! remark" comment on the last line when it fits within column 72.  No
    line ends in a blank, since the extractor strips trailing blanks when
    it copies."""
    whole = (statement.strip() + " " + tail.strip()).strip()
    if tail and len(FIRST_COLUMN_TEXT) + len(whole) > LAST_COLUMN:
        lines = (_continued_lines(statement.strip(), FIRST_COLUMN_TEXT)
                 + _continued_lines(tail.strip(), CONTINUATION))
    else:
        lines = _continued_lines(whole, FIRST_COLUMN_TEXT)
    if remark and len(lines[-1]) + 3 + len(remark) <= LAST_COLUMN:
        lines[-1] += " ! " + remark
    return lines


def integer_literal(value, kind):
    """A Fortran literal of the value for a PARAMETER of the given kind.
    Values outside the default integer range carry the kind suffix; the
    most negative value of a kind is written as a difference, because its
    magnitude alone is out of range."""
    if -2**31 < value < 2**31:
        return str(value)
    if value == -2**31:
        return "(-2147483647-1)"
    if value == -2**63:
        return "(-9223372036854775807_%s-1)" % kind
    return "%d_%s" % (value, kind)


def parameter_lines(name, kind, value):
    return statement_lines("INTEGER(%s), PARAMETER :: %s = %s"
                           % (kind, name, integer_literal(value, kind)))
