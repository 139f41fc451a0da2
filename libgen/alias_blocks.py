"""Blocks of a function under another C name of it (MessageBox for
MessageBoxA, ZeroMemory for RtlZeroMemory).  A generic function's other
name is a generic interface of the same specifics, which the master list's
needs line brings along; an other name of a function that is not generic
is an interface body of its own with the function's binding label, since a
generic would lose sequence association (a character scalar would no
longer pass to a character array)."""

import re

from .source_form import FIRST_COLUMN_TEXT, LAST_COLUMN, comment_lines, statement_lines

_SPECIFIC = re.compile(r"^ {6}(?:\S+ )?(?:FUNCTION|SUBROUTINE) (\w+)\(")
_GENERIC = re.compile(r"^ {6}INTERFACE (\w+)$")


def generic_specifics(lines):
    """The names of the specific procedures of a generic interface block,
    in block order; [] for a block that is not generic."""
    if not any(_GENERIC.match(line) for line in lines):
        return []
    return [m.group(1) for m in map(_SPECIFIC.match, lines) if m]


def alias_remark(target, neutral):
    """What an other name's block comment and listing say it is."""
    if neutral:
        return "C's name of %s when UNICODE is not defined" % target
    return "C's name of %s" % target


def forwarding_lines(name, specifics, remark):
    """A generic interface `name` of the given specific procedures, one
    PROCEDURE statement per line so that no statement is continued."""
    return comment_lines("%s: %s." % (name, remark)) + _generic_lines(
        name, specifics)


def extension_forwarding_lines(chunk, other_names):
    """The generic interfaces that add the specifics of `chunk`, a generic
    interface block extending a function's generic, to the generics of
    the function's other names (`other_names` {function: [other names]}),
    so that GetMessage takes what GetMessageA takes; [] for a function
    without other names."""
    generic = next(m.group(1) for m in map(_GENERIC.match, chunk) if m)
    specifics = generic_specifics(chunk)
    return [line for name in other_names.get(generic, [])
            for line in _generic_lines(name, specifics)]


def _generic_lines(name, specifics):
    """INTERFACE `name` with PROCEDURE statements of `specifics`, none of
    them continued."""
    lines = statement_lines("INTERFACE %s" % name)
    current = []
    for specific in specifics:
        statement = "PROCEDURE " + ", ".join(current + [specific])
        if current and len(FIRST_COLUMN_TEXT + statement) > LAST_COLUMN:
            lines += statement_lines("PROCEDURE " + ", ".join(current))
            current = []
        current.append(specific)
    lines += statement_lines("PROCEDURE " + ", ".join(current))
    return lines + statement_lines("END INTERFACE %s" % name)
