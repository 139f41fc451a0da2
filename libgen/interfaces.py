"""Interface blocks for exported functions and abstract interfaces for the
headers' callback types, from clang's view of their prototypes.

Every block carries its own INTERFACE ... END INTERFACE, so a program
INCLUDEs NAME.FI among its declarations.  A function that takes pointers a
Fortran variable can stand for is a generic interface: a structure pointer
takes the derived type (TYPE(RECT) :: lpRect, OPTIONAL, so leaving it out
passes NULL) or TYPE(C_PTR) by value (C_LOC(x), C_NULL_PTR); a pointer to
an integer, real or handle scalar (LPDWORD, PHANDLE) takes a variable of
the matching kind by reference the same way.  Up to three such arguments
mix the two forms freely; more go all one way or all the other.  In a
generic, a string is a character scalar (OPTIONAL) or a character array;
one that also takes a resource or atom number (LoadCursorA's lpCursorName
and IDC_ARROW) takes an INTEGER(C_INTPTR_T) number as well."""

import itertools
import re
from dataclasses import dataclass
from typing import Tuple

from .c_types import (Untranslatable, argument_type, is_handle, resolve,
                      result_type, strip_attributes)
from .derived_types import definition_lines
from .fortran_names import FORTRAN_NAME
from .source_form import comment_lines, statement_lines

_WIDE_CHARACTER_NAMES = {"WCHAR", "wchar_t"}
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
    is a Fortran name ("_" after it where it equals the function's name or
    that of a kind or type the body declares: Point_ beside TYPE(POINT));
    for a parameter the header leaves unnamed, its type's name in lower
    case ("p" before it for a pointer: hwnd, prect; a number after it from
    its second use on: lpint, lpint2); ARGn otherwise.  Unique without
    regard to case, as Fortran requires."""
    taken = ({function_name.upper()} | {k.upper() for k in kinds}
             | {n.upper() for n in taken_names})
    names = []
    for position, c_name in enumerate(c_names, start=1):
        name = (c_name or "").lstrip("_")
        candidates = [name, name + "_"]
        if not c_name and c_types:
            words = [w for w in _TYPE_WORDS.findall(c_types[position - 1])
                     if w not in ("const", "struct", "union", "enum",
                                  "volatile", "unsigned", "signed")]
            if words:
                name = ("p" if "*" in c_types[position - 1] else "") \
                    + words[-1].lower()
                candidates = [name] + ["%s%d" % (name, n) for n in range(2, 10)]
        name = next((c for c in candidates if FORTRAN_NAME.match(c)
                     and c.upper() not in taken), None)
        if name is None:
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
        self.scalar_arguments = 0   # pointers to scalars taken by reference
        self.optional_strings = 0   # scalar strings that may be left out
        self.mixed_specifics = 0    # specifics of generics mixing per argument
        self.renamed_arguments = 0  # C parameter names spelt otherwise

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


PLAIN, STRUCTURE, SCALAR, STRING, RESOURCE, WIDE, WIDE_RESOURCE = (
    "plain", "structure", "scalar", "string", "resource", "wide",
    "wide resource")
_C_POINTER = Form("TYPE(C_PTR), VALUE", frozenset({"C_PTR"}))
_NUMBER = Form("INTEGER(C_INTPTR_T), VALUE", frozenset({"C_INTPTR_T"}))
# A wide string: a UTF-16 buffer ending in 0, left out or given.
_WIDE_ARRAY = Form("INTEGER(C_INT16_T), OPTIONAL", frozenset({"C_INT16_T"}), "(*)")
# The forms of a string: a character array left out or given (only a
# generic has the second), a character scalar left out or given, a number.
ARRAY_OPTIONAL, ARRAY, SCALAR_OPTIONAL, NUMBER = range(4)
# The forms of a wide string: a UTF-16 array, a C_PTR, a number.
WIDE_ARRAY, WIDE_POINTER, WIDE_NUMBER = range(3)
# At most this many pointer arguments mix their typed and C_PTR forms
# freely, and only while the specifics stay at most MAX_SPECIFICS.
MAX_MIXED_POINTERS = 3
MAX_SPECIFICS = 16


def is_wide_string(ctype):
    """Whether a pointer is a wide-character string (LPCWSTR, LPWSTR,
    LPOLESTR): UTF-16 text ending in 0.  A BSTR is not: it carries its
    length before the text, so only SysAllocString makes one."""
    return ctype.form == "pointer" and not is_handle(ctype) \
        and "BSTR" not in ctype.names \
        and ctype.target.form == "int" and ctype.target.size == 2 \
        and bool(_WIDE_CHARACTER_NAMES.intersection(ctype.target.names))


def scalar_target(ctype):
    """The Fortran type of what a pointer points to when that is an
    integer, real or handle scalar (LPDWORD, PFLOAT, PHANDLE), else None.
    A wide-character string (LPCWSTR) and bytes (LPBYTE lpData) are
    buffers, as void * is: they stay C_PTR."""
    if ctype.form != "pointer" or is_handle(ctype):
        return None
    target = ctype.target
    if _WIDE_CHARACTER_NAMES.intersection(target.names) or \
            (target.form == "int" and target.size == 1):
        return None
    if target.form in ("int", "real") or is_handle(target):
        return argument_type(target)
    return None


def argument_forms(ctype, structures, resource, callback):
    """(role, forms) of one dummy argument: PLAIN (one form); STRUCTURE
    and SCALAR (typed, C_PTR); STRING (ARRAY_OPTIONAL, ARRAY,
    SCALAR_OPTIONAL); RESOURCE (those and NUMBER); WIDE (a UTF-16 array,
    C_PTR); WIDE_RESOURCE (those and a number: LoadCursorW's
    lpCursorName).  A generic's specifics
    pick one form per argument.  A callback's arguments are what C passes:
    structures typed, other pointers C_PTR, strings character arrays."""
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
            return STRUCTURE, [typed, _C_POINTER]
    if not callback and is_wide_string(ctype):
        if resource:
            return WIDE_RESOURCE, [_WIDE_ARRAY, _C_POINTER, _NUMBER]
        return WIDE, [_WIDE_ARRAY, _C_POINTER]
    scalar = None if callback else scalar_target(ctype)
    if scalar is not None:
        structures.scalar_arguments += 1
        return SCALAR, [Form(scalar.declaration + ", OPTIONAL",
                             frozenset(scalar.kinds)), _C_POINTER]
    form = _c_form(argument_type(ctype))
    if not form.shape:
        return PLAIN, [form]
    if callback:
        return PLAIN, [Form("CHARACTER(KIND=C_CHAR)", form.kinds, form.shape)]
    strings = [form, Form("CHARACTER(KIND=C_CHAR)", form.kinds, form.shape),
               Form("CHARACTER(KIND=C_CHAR), OPTIONAL", form.kinds)]
    if resource:
        return RESOURCE, strings + [_NUMBER]
    return STRING, strings


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
        role, forms = argument_forms(resolve(c_type, typedefs), structures,
                                      c_name in resource_arguments, False)
        alternatives.append(forms)
        roles.append(role)
    return _block_lines(name, result, result_c, c_names, c_types, alternatives,
                        roles, structures)


def _block_lines(name, result, result_c, c_names, c_types, alternatives, roles,
                 structures):
    kinds, types = _kinds_and_types([f for forms in alternatives for f in forms]
                                    + [result])
    dummies = dummy_names(c_names, name, kinds, c_types, {t.name for t in types})
    structures.renamed_arguments += sum(
        1 for c_name, dummy in zip(c_names, dummies)
        if c_name and dummy != c_name.lstrip("_"))
    keyword = "FUNCTION" if result else "SUBROUTINE"
    binding = "BIND(C, NAME='%s')" % name
    specifics, mixed = specific_forms(alternatives, roles)
    if len(specifics) > 1:
        structures.optional_strings += sum(role in (STRING, RESOURCE)
                                           for role in roles)
        structures.mixed_specifics += len(specifics) if mixed else 0
    if len(specifics) == 1:
        return (statement_lines("INTERFACE")
                + _procedure_lines(keyword, name, dummies, binding, result,
                                   specifics[0], c_types, result_c)
                + statement_lines("END INTERFACE"))
    lines = statement_lines("INTERFACE %s" % name)
    lines += comment_lines(_generic_note(roles, dummies, mixed))
    for number, forms in enumerate(specifics, start=1):
        specific = "%s_%d" % (name[:60], number)
        lines += _procedure_lines(keyword, specific, dummies, binding, result,
                                  forms, c_types, result_c)
    return lines + statement_lines("END INTERFACE %s" % name)


def specific_forms(alternatives, roles):
    """Every specific's forms.  Without pointer, resource or wide-string
    arguments there is one specific, with the strings as optional arrays
    (a character scalar passes as an array there).  Otherwise each pointer
    argument is typed or C_PTR, in every combination of up to
    MAX_MIXED_POINTERS arguments (while the specifics stay at most
    MAX_SPECIFICS), else the structures all typed or all C_PTR and the
    scalars all typed or all C_PTR; the wide strings all UTF-16 arrays or
    all C_PTR, those taking a number also a number; with each of the
    string picks.  Whether two or more pointer
    arguments mix freely comes second.  Every two
    specifics differ at some argument where one of them has a form that
    must be given (C_PTR, array, number) and the other a different type
    or rank, so the generic is unambiguous by Fortran's rules."""
    pointers = [i for i, role in enumerate(roles) if role in (STRUCTURE, SCALAR)]
    wides = [i for i, role in enumerate(roles) if role in (WIDE, WIDE_RESOURCE)]
    if not pointers and not wides and RESOURCE not in roles:
        return [tuple(forms[0] for forms in alternatives)], False
    strings = [i for i, role in enumerate(roles) if role in (STRING, RESOURCE)]
    string_picks = _string_picks(strings, [i for i in strings
                                           if roles[i] == RESOURCE])
    mixed = len(pointers) <= MAX_MIXED_POINTERS and \
        2 ** len(pointers) * len(string_picks) <= MAX_SPECIFICS
    if mixed:
        pointer_picks = list(itertools.product((0, 1), repeat=len(pointers)))
    else:
        # The structures all typed or all C_PTR, and so the scalars.
        groups = sorted({roles[i] for i in pointers})
        pointer_picks = [tuple(choice[groups.index(roles[i])] for i in pointers)
                         for choice in itertools.product((0, 1),
                                                         repeat=len(groups))]
    wide_picks = _wide_picks(wides, [i for i in wides
                                     if roles[i] == WIDE_RESOURCE])
    specifics = []
    for wide_pick in wide_picks:
        for pointer_pick in pointer_picks:
            for string_pick in string_picks:
                picks = dict(zip(pointers, pointer_pick))
                picks.update(wide_pick)
                picks.update(string_pick)
                specifics.append(tuple(forms[picks.get(index, 0)]
                                       for index, forms in enumerate(alternatives)))
    return specifics, mixed and len(pointers) > 1


def _wide_picks(wides, resources):
    """The wide-string forms of a generic's specifics, [{argument: form}]:
    each resource argument a number or not; the rest all UTF-16 arrays
    or all C_PTR."""
    picks = []
    for numbers in itertools.product((False, True), repeat=len(resources)):
        chosen = {index: WIDE_NUMBER for index, number in zip(resources, numbers)
                  if number}
        rest = [index for index in wides if index not in chosen]
        for form in (WIDE_ARRAY, WIDE_POINTER) if rest else (WIDE_ARRAY,):
            picks.append(dict(chosen))
            picks[-1].update(dict.fromkeys(rest, form))
    return picks


def _string_picks(strings, resources):
    """The string forms of a generic's specifics, [{argument: form}]: each
    resource argument a number or a string; the strings then all scalars
    (each may be left out), or scalars up to the first one given as an
    array and arrays after it (left out but that first array), so a call
    may leave out any string whether it passes scalars or arrays."""
    picks = []
    for numbers in itertools.product((False, True), repeat=len(resources)):
        chosen = {index: NUMBER for index, number in zip(resources, numbers)
                  if number}
        rest = [index for index in strings if index not in chosen]
        for first in range(len(rest)):
            pick = dict(chosen)
            for position, index in enumerate(rest):
                pick[index] = (SCALAR_OPTIONAL if position < first else
                               ARRAY if position == first else ARRAY_OPTIONAL)
            picks.append(pick)
        picks.append(dict(chosen))
        picks[-1].update(dict.fromkeys(rest, SCALAR_OPTIONAL))
    return picks


def _generic_note(roles, dummies, mixed):
    parts = []
    pointers = [d for d, role in zip(dummies, roles) if role in (STRUCTURE, SCALAR)]
    if pointers:
        parts.append("%s: the derived type or a variable of the kind (left "
                     "out: NULL) or TYPE(C_PTR)%s"
                     % (", ".join(pointers), "" if len(pointers) == 1 else
                        ", in any mix" if mixed else
                        ", the structures alike and the scalars alike"))
    strings = [d for d, role in zip(dummies, roles) if role in (STRING, RESOURCE)]
    if strings:
        parts.append("%s: character scalars or arrays (left out: NULL), "
                     "arrays after scalars" % ", ".join(strings))
    wides = [d for d, role in zip(dummies, roles) if role in (WIDE, WIDE_RESOURCE)]
    if wides:
        parts.append("%s: INTEGER(C_INT16_T) arrays of UTF-16 text ending in 0 "
                     "(left out: NULL), or TYPE(C_PTR)%s"
                     % (", ".join(wides), ", all alike" if len(wides) > 1 else ""))
    resources = [d for d, role in zip(dummies, roles)
                 if role in (RESOURCE, WIDE_RESOURCE)]
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
    forms = [argument_forms(resolve(t, typedefs), structures, False, True)[1][0]
             for t in c_types]
    kinds, types = _kinds_and_types(forms + [result])
    dummies = dummy_names(c_names, name, kinds, c_types, {t.name for t in types})
    keyword = "FUNCTION" if result else "SUBROUTINE"
    return (statement_lines("ABSTRACT INTERFACE")
            + _procedure_lines(keyword, name, dummies, "BIND(C)", result, forms,
                               c_types, result_c)
            + statement_lines("END INTERFACE"))
