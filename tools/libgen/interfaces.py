"""Interface bodies for exported functions, from clang's view of their
prototypes."""

import re

from .c_types import (Untranslatable, argument_type, resolve, result_type,
                      strip_attributes)
from .fixed_form import statement_lines

FORTRAN_NAME = re.compile(r"^[A-Za-z][A-Za-z0-9_]{0,62}$")

# Words that would make a dummy argument hard to read or that the interface
# body itself uses; such arguments get a positional name instead.
_RESERVED_DUMMY_NAMES = {
    "BIND", "C", "CHARACTER", "DIMENSION", "END", "FUNCTION", "IMPORT",
    "INTEGER", "INTRINSIC", "ISO_C_BINDING", "KIND", "NAME", "ONLY",
    "PARAMETER", "REAL", "RESULT", "SUBROUTINE", "TYPE", "USE", "VALUE",
}


def result_c_type(function_type):
    """The result part of a function type such as "BOOL (LPSTR, LPDWORD)"."""
    text = strip_attributes(function_type).rstrip()
    if not text.endswith(")"):
        raise Untranslatable("unreadable prototype")
    depth = 0
    for position in range(len(text) - 1, -1, -1):
        depth += {")": 1, "(": -1}.get(text[position], 0)
        if depth == 0:
            if text[position + 1:-1].strip() == "":
                raise Untranslatable("declared without a parameter list")
            return text[:position].strip()
    raise Untranslatable("unreadable prototype")


def dummy_names(c_names, function_name, kinds):
    """Fortran names for the dummy arguments: the C parameter name where it
    is a usable Fortran name, ARGn otherwise; unique without regard to
    case, as Fortran requires."""
    taken = {function_name.upper()} | {k.upper() for k in kinds}
    names = []
    for position, c_name in enumerate(c_names, start=1):
        name = (c_name or "").lstrip("_")
        if (not FORTRAN_NAME.match(name) or name.upper() in taken
                or name.upper() in _RESERVED_DUMMY_NAMES):
            name = "ARG%d" % position
            while name.upper() in taken:
                name += "_"
        taken.add(name.upper())
        names.append(name)
    return names


def interface_lines(name, declaration, typedefs):
    """The body lines of one function's interface block.  Raises
    Untranslatable with the reason when the prototype has no faithful
    BIND(C) counterpart."""
    if declaration.get("variadic"):
        raise Untranslatable("variable argument list")
    function_type = declaration["type"]["qualType"]
    result_c = result_c_type(function_type)
    result = result_type(resolve(result_c, typedefs))
    parameters = [node for node in declaration.get("inner", [])
                  if node.get("kind") == "ParmVarDecl"]
    c_types = [p["type"]["qualType"] for p in parameters]
    arguments = [argument_type(resolve(t, typedefs)) for t in c_types]

    kinds = set()
    for fortran_type in arguments + ([result] if result else []):
        kinds.update(fortran_type.kinds)
    dummies = dummy_names([p.get("name") for p in parameters], name, kinds)

    keyword = "FUNCTION" if result else "SUBROUTINE"
    lines = statement_lines("%s %s(%s)" % (keyword, name, ", ".join(dummies)),
                            tail="BIND(C, NAME='%s')" % name)
    if kinds:
        lines += statement_lines("USE, INTRINSIC :: ISO_C_BINDING, ONLY: "
                                 + ", ".join(sorted(kinds)))
    if result:
        lines += statement_lines("%s :: %s" % (result.declaration, name),
                                 remark=" ".join(result_c.split()))
    for dummy, fortran_type, c_type in zip(dummies, arguments, c_types):
        # A character array left out of a call passes NULL, which many
        # string parameters accept (GetModuleHandleA() is the running
        # program).
        attributes = (", VALUE" if fortran_type.by_value else
                      ", OPTIONAL" if fortran_type.assumed_size else "")
        shape = "(*)" if fortran_type.assumed_size else ""
        lines += statement_lines("%s%s :: %s%s" % (fortran_type.declaration,
                                                   attributes, dummy, shape),
                                 remark=" ".join(c_type.split()))
    lines += statement_lines("END %s %s" % (keyword, name))
    return lines
