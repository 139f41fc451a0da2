"""Interface blocks for exported functions and abstract interfaces for the
headers' callback types, from clang's view of their prototypes.

Every block carries its own INTERFACE ... END INTERFACE, so a program
INCLUDEs NAME.FI among its declarations.  A function that takes structures
by pointer is a generic interface of two specifics: one takes the derived
types (TYPE(RECT) :: lpRect, OPTIONAL, so leaving it out passes NULL), the
other TYPE(C_PTR) by value as before (C_LOC(x), C_NULL_PTR).  A string
argument that also takes a resource or atom number (LoadCursorA's
lpCursorName and IDC_ARROW) gets specifics for a character array, a
character scalar and an INTEGER(C_INTPTR_T) number."""

import itertools
import re
from dataclasses import dataclass
from typing import Tuple

from .c_types import (Untranslatable, argument_type, is_handle, resolve,
                      result_type, strip_attributes)
from .derived_types import definition_lines
from .fortran_names import FORTRAN_NAME
from .source_form import comment_lines, statement_lines

# Words that would make a dummy argument hard to read or that the interface
# body itself uses; such arguments get another name.
_RESERVED_DUMMY_NAMES = {
    "BIND", "CHARACTER", "DIMENSION", "END", "FUNCTION", "IMPORT",
    "INTEGER", "INTRINSIC", "ISO_C_BINDING", "KIND", "NAME", "ONLY",
    "PARAMETER", "REAL", "RESULT", "SUBROUTINE", "TYPE", "USE", "VALUE",
}
_TYPE_WORDS = re.compile(r"[A-Za-z_]\w*")


@dataclass(frozen=True)
class Form:
    """One way to declare a dummy argument."""
    declaration: str            # e.g. "TYPE(RECT), OPTIONAL"
    kinds: frozenset
    shape: str = ""             # "(*)" for an assumed-size array
    types: Tuple = ()           # FTypes the declaration needs defined


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


def split_parameters(text):
    """The parameter texts of a parameter list's inside, split at the
    commas outside parentheses; [] for "void" or nothing."""
    items, depth, start = [], 0, 0
    for position, char in enumerate(text):
        depth += {"(": 1, ")": -1}.get(char, 0)
        if char == "," and depth == 0:
            items.append(text[start:position].strip())
            start = position + 1
    items.append(text[start:].strip())
    if items in ([""], ["void"]):
        return []
    return items


def function_pointer_parts(pointer_type):
    """(result text, [parameter texts]) of a type "R (*)(P1, P2)"."""
    text = " ".join(strip_attributes(pointer_type).split())
    marker = text.find("(*)")
    if marker < 0 or not text.endswith(")"):
        raise Untranslatable("not a plain function pointer")
    inside = text[marker + 3:].strip()
    if not inside.startswith("("):
        raise Untranslatable("not a plain function pointer")
    parameters = split_parameters(inside[1:-1])
    if "..." in parameters:
        raise Untranslatable("variable argument list")
    return text[:marker].strip(), parameters


def dummy_names(c_names, function_name, kinds, c_types=None, taken_names=()):
    """Fortran names for the dummy arguments: the C parameter name where it
    is a usable Fortran name; for a parameter the header leaves unnamed, its
    type's name in lower case ("p" before it for a pointer: hwnd, prect);
    ARGn otherwise.  Unique without regard to case, as Fortran requires."""
    taken = ({function_name.upper()} | {k.upper() for k in kinds}
             | {n.upper() for n in taken_names})
    names = []
    for position, c_name in enumerate(c_names, start=1):
        name = (c_name or "").lstrip("_")
        if not c_name and c_types:
            words = [w for w in _TYPE_WORDS.findall(c_types[position - 1])
                     if w not in ("const", "struct", "union", "enum",
                                  "volatile", "unsigned", "signed")]
            if words:
                name = ("p" if "*" in c_types[position - 1] else "") \
                    + words[-1].lower()
        if (not FORTRAN_NAME.match(name) or name.upper() in taken
                or name.upper() in _RESERVED_DUMMY_NAMES):
            name = "ARG%d" % position
            while name.upper() in taken:
                name += "_"
        taken.add(name.upper())
        names.append(name)
    return names


class Structures:
    """What the interfaces know of the derived types: the standalone FType
    of every record that is written, by its "struct tag" text."""

    def __init__(self, catalog=None, types_by_key=None):
        self.catalog = catalog
        self.types_by_key = types_by_key or {}
        self.taken = set()   # keys of the records asked for and written
        self.typed_arguments = 0

    def of(self, ctype):
        """The FType of a record CType, or None when none is written."""
        if self.catalog is None or ctype.form != "record":
            return None
        record = self.catalog.record_of(ctype)
        ftype = self.types_by_key.get(record.key) if record else None
        if ftype is not None:
            self.taken.add(record.key)
        return ftype


def _c_form(fortran_type):
    attributes = (", VALUE" if fortran_type.by_value else
                  ", OPTIONAL" if fortran_type.assumed_size else "")
    return Form(fortran_type.declaration + attributes,
                frozenset(fortran_type.kinds),
                "(*)" if fortran_type.assumed_size else "")


PLAIN, STRUCTURE, STRING, RESOURCE = "plain", "structure", "string", "resource"
_SCALAR_STRING = Form("CHARACTER(KIND=C_CHAR)", frozenset({"C_CHAR"}))
_NUMBER = Form("INTEGER(C_INTPTR_T), VALUE", frozenset({"C_INTPTR_T"}))


def _argument_forms(ctype, structures, resource, callback):
    """(role, forms) of one dummy argument: PLAIN (one form); STRUCTURE
    (typed, C_PTR); STRING (array, scalar); RESOURCE (array, scalar,
    number).  A generic's specifics pick one form per role group."""
    if ctype.form == "record":
        ftype = structures.of(ctype)
        if ftype is None:
            raise Untranslatable("structure passed by value")
        structures.typed_arguments += 1
        return PLAIN, [Form("TYPE(%s), VALUE" % ftype.name, frozenset(), "",
                            (ftype,))]
    if ctype.form == "pointer" and ctype.target.form == "record" \
            and not is_handle(ctype):
        ftype = structures.of(ctype.target)
        if ftype is not None:
            typed = Form("TYPE(%s)%s" % (ftype.name, "" if callback else ", OPTIONAL"),
                         frozenset(), "", (ftype,))
            if callback:
                return PLAIN, [typed]
            structures.typed_arguments += 1
            return STRUCTURE, [typed, Form("TYPE(C_PTR), VALUE", frozenset({"C_PTR"}))]
    form = _c_form(argument_type(ctype))
    if not form.shape:
        return PLAIN, [form]
    if callback:
        return PLAIN, [Form("CHARACTER(KIND=C_CHAR)", form.kinds, form.shape)]
    if resource:
        return RESOURCE, [form, _SCALAR_STRING, _NUMBER]
    return STRING, [form, _SCALAR_STRING]


def _result(result_c, typedefs, structures):
    ctype = resolve(result_c, typedefs)
    if ctype.form == "record":
        ftype = structures.of(ctype)
        if ftype is None:
            raise Untranslatable("returns a structure")
        return Form("TYPE(%s)" % ftype.name, frozenset(), "", (ftype,))
    fortran = result_type(ctype)
    return Form(fortran.declaration, frozenset(fortran.kinds)) if fortran else None


def _type_definitions(types):
    lines, written = [], set()
    for ftype in types:
        if ftype.name.upper() not in written:
            lines += definition_lines(ftype, written)
    return lines


def _kinds_and_types(forms):
    """The ISO_C_BINDING kinds the forms (None for no result) need, those of
    their derived types included, and those types in order."""
    kinds, types = set(), []
    for form in forms:
        if form is not None:
            kinds |= form.kinds
            types += form.types
    for ftype in types:
        kinds |= ftype.kinds()
    return kinds, types


def _procedure_lines(keyword, name, dummies, binding, result, forms, c_types,
                     result_c):
    kinds, needed = _kinds_and_types([result] + list(forms))
    lines = statement_lines("%s %s(%s)" % (keyword, name, ", ".join(dummies)),
                            tail=binding)
    if kinds:
        lines += statement_lines("USE, INTRINSIC :: ISO_C_BINDING, ONLY: "
                                 + ", ".join(sorted(kinds)))
    lines += _type_definitions(needed)
    if result:
        lines += statement_lines("%s :: %s" % (result.declaration, name),
                                 remark=" ".join(result_c.split()))
    for dummy, form, c_type in zip(dummies, forms, c_types):
        lines += statement_lines("%s :: %s%s" % (form.declaration, dummy, form.shape),
                                 remark=" ".join(c_type.split()))
    lines += statement_lines("END %s %s" % (keyword, name))
    return lines


def interface_lines(name, declaration, typedefs, structures=None,
                    resource_arguments=()):
    """The lines of one function's interface block.  Raises Untranslatable
    with the reason when the prototype has no faithful BIND(C) counterpart.
    `resource_arguments` names the string parameters that also take a
    resource or atom number."""
    structures = structures or Structures()
    if declaration.get("variadic"):
        raise Untranslatable("variable argument list")
    result_c = result_c_type(declaration["type"]["qualType"])
    result = _result(result_c, typedefs, structures)
    parameters = [node for node in declaration.get("inner", [])
                  if node.get("kind") == "ParmVarDecl"]
    c_types = [p["type"]["qualType"] for p in parameters]
    c_names = [p.get("name") for p in parameters]
    alternatives, roles = [], []
    for c_name, c_type in zip(c_names, c_types):
        role, forms = _argument_forms(resolve(c_type, typedefs), structures,
                                      c_name in resource_arguments, False)
        alternatives.append(forms)
        roles.append(role)
    return _block_lines(name, result, result_c, c_names, c_types, alternatives,
                        roles)


def _block_lines(name, result, result_c, c_names, c_types, alternatives, roles):
    kinds, types = _kinds_and_types([f for forms in alternatives for f in forms]
                                    + [result])
    dummies = dummy_names(c_names, name, kinds, c_types, {t.name for t in types})
    keyword = "FUNCTION" if result else "SUBROUTINE"
    binding = "BIND(C, NAME='%s')" % name
    specifics = _specific_forms(alternatives, roles)
    if len(specifics) == 1:
        return (statement_lines("INTERFACE")
                + _procedure_lines(keyword, name, dummies, binding, result,
                                   specifics[0], c_types, result_c)
                + statement_lines("END INTERFACE"))
    lines = statement_lines("INTERFACE %s" % name)
    lines += comment_lines(_generic_note(roles, dummies))
    for number, forms in enumerate(specifics, start=1):
        specific = "%s_%d" % (name[:60], number)
        lines += _procedure_lines(keyword, specific, dummies, binding, result,
                                  forms, c_types, result_c)
    return lines + statement_lines("END INTERFACE %s" % name)


def _specific_forms(alternatives, roles):
    """Every specific's forms, each once.  The structure pointers go all
    typed or all C_PTR; the strings all as arrays or all as scalars (a
    generic resolves by rank, so 'NAME' // C_NULL_CHAR needs a scalar
    dummy); each resource argument as that string form or as a number.
    Without structures or resource arguments there is one specific, with
    the strings as arrays, as in every non-generic interface."""
    generic = any(role in (STRUCTURE, RESOURCE) for role in roles)
    structure_forms = (0, 1) if STRUCTURE in roles else (0,)
    string_forms = (0, 1) if generic and (STRING in roles or RESOURCE in roles) else (0,)
    resources = [i for i, role in enumerate(roles) if role == RESOURCE]
    specifics = []
    for structure in structure_forms:
        for string in string_forms:
            for numbers in itertools.product((False, True), repeat=len(resources)):
                picks = []
                for index, (forms, role) in enumerate(zip(alternatives, roles)):
                    if role == STRUCTURE:
                        picks.append(forms[structure])
                    elif role == STRING:
                        picks.append(forms[string])
                    elif role == RESOURCE:
                        picks.append(forms[2] if numbers[resources.index(index)]
                                     else forms[string])
                    else:
                        picks.append(forms[0])
                if tuple(picks) not in specifics:
                    specifics.append(tuple(picks))
    return specifics


def _generic_note(roles, dummies):
    parts = []
    structures = [d for d, role in zip(dummies, roles) if role == STRUCTURE]
    if structures:
        parts.append("%s: the derived type (left out: NULL) or TYPE(C_PTR)"
                     % ", ".join(structures))
    strings = [d for d, role in zip(dummies, roles) if role in (STRING, RESOURCE)]
    if strings:
        parts.append("%s: all character scalars or all character arrays"
                     % ", ".join(strings))
    resources = [d for d, role in zip(dummies, roles) if role == RESOURCE]
    if resources:
        parts.append("%s: or a resource number such as IDC_ARROW"
                     % ", ".join(resources))
    return "Generic: " + "; ".join(parts) + "."


def abstract_interface_lines(name, pointer_type, typedefs, structures,
                             c_names=()):
    """The ABSTRACT INTERFACE block of a callback type "R (*)(P1, P2)",
    named as the C type, which a program's BIND(C) procedure follows; the
    procedure itself is passed as C_FUNLOC(procedure)."""
    result_c, c_types = function_pointer_parts(pointer_type)
    result = _result(result_c, typedefs, structures)
    c_names = list(c_names) + [None] * (len(c_types) - len(c_names))
    forms = [_argument_forms(resolve(t, typedefs), structures, False, True)[1][0]
             for t in c_types]
    kinds, types = _kinds_and_types(forms + [result])
    dummies = dummy_names(c_names, name, kinds, c_types, {t.name for t in types})
    keyword = "FUNCTION" if result else "SUBROUTINE"
    return (statement_lines("ABSTRACT INTERFACE")
            + _procedure_lines(keyword, name, dummies, "BIND(C)", result, forms,
                               c_types, result_c)
            + statement_lines("END INTERFACE"))
