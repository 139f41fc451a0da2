"""Source lines that are valid both as fixed-form and as free-form Fortran,
so that one NAME.FD / NAME.FI serves programs of either form: statements in
columns 7 to 72; a continued line ends with "&" in column 73 (beyond the
fixed-form statement field, the free-form continuation mark) and the next
line has "&" in column 6 (the fixed-form mark; in free form the statement
resumes right after it); comments only after "!"."""

FIRST_COLUMN_TEXT = "      "
# Between tokens a continuation resumes after two blanks; inside a word or a
# character literal exactly after the mark, where blanks would count.
CONTINUATION = "     &  "
CONTINUATION_EXACT = "     &"
LAST_COLUMN = 72
CONTINUED_MARK = "&"
# The extractor keeps 80 columns of each library line: a remark must end
# there to arrive whole.
LAST_REMARK_COLUMN = 80


def _break_position(text, limit):
    """Where to end a line of at most `limit` characters of the statement,
    and whether that is between tokens: after the last comma or the opening
    parenthesis of an argument list, or before the last blank, outside a
    character literal.  Without such a place the cut is at the limit."""
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
    return limit, False


def _continued(line):
    """A line that the next one continues: padded to column 72, then "&"."""
    return line.ljust(LAST_COLUMN) + CONTINUED_MARK


def _continued_lines(text, prefix, last_room=None):
    """Lines of the text, the last one at most `last_room` characters of
    statement when given (room left for a remark)."""
    lines = []
    while True:
        room = LAST_COLUMN - len(prefix)
        if len(text) <= room and (last_room is None
                                  or len(prefix) + len(text) <= last_room):
            lines.append((prefix + text).rstrip())
            return lines
        limit = room if len(text) > room else max(
            1, min(room, last_room - len(prefix)))
        cut, between_tokens = _break_position(text, limit)
        if between_tokens:
            lines.append(_continued((prefix + text[:cut]).rstrip()))
            text, prefix = text[cut:].lstrip(), CONTINUATION
        elif len(text) <= room:
            # No break leaves room for the remark: the statement stays whole.
            lines.append((prefix + text).rstrip())
            return lines
        else:
            lines.append(_continued(prefix + text[:cut]))
            text, prefix = text[cut:], CONTINUATION_EXACT


def statement_lines(statement, remark="", tail=""):
    """The lines of one statement.  A tail (such as a BIND clause) is kept
    on the first line when the whole statement fits there and otherwise
    starts a continuation line of its own.  A remark becomes a trailing
    "! remark" comment on the last line, which is broken earlier when that
    makes room for it by column 80; a remark that still does not fit
    follows as a comment line of its own.  No line ends in a blank, since
    the extractor strips trailing blanks when it copies."""
    whole = (statement.strip() + " " + tail.strip()).strip()
    last_room = (LAST_REMARK_COLUMN - 3 - len(remark)) if remark else None
    if tail and len(FIRST_COLUMN_TEXT) + len(whole) > LAST_COLUMN:
        head = _continued_lines(statement.strip(), FIRST_COLUMN_TEXT)
        lines = head[:-1] + [_continued(head[-1])] + _continued_lines(
            tail.strip(), CONTINUATION, last_room)
    else:
        lines = _continued_lines(whole, FIRST_COLUMN_TEXT, last_room)
    if remark:
        if len(lines[-1]) + 3 + len(remark) <= LAST_REMARK_COLUMN:
            lines[-1] += " ! " + remark
        else:
            lines.append(FIRST_COLUMN_TEXT + "! " + remark)
    return lines


def comment_lines(text):
    """A comment as "!" lines from column 7, broken between words."""
    lines, current = [], ""
    for word in text.split():
        if current and len(FIRST_COLUMN_TEXT) + 2 + len(current) + 1 \
                + len(word) > LAST_COLUMN:
            lines.append(FIRST_COLUMN_TEXT + "! " + current)
            current = word
        else:
            current = (current + " " + word).strip()
    if current:
        lines.append(FIRST_COLUMN_TEXT + "! " + current)
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


def string_parameter_lines(name, text):
    """A C string constant as a CHARACTER PARAMETER ending in C_NULL_CHAR,
    as the functions take it."""
    return statement_lines("CHARACTER(KIND=C_CHAR, LEN=*), PARAMETER :: %s = %s"
                           % (name, character_literal(text) + " // C_NULL_CHAR"))


def character_literal(text):
    return "'%s'" % text.replace("'", "''")
