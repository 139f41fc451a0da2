"""Interface blocks for exported functions and abstract interfaces for the
headers' callback types, from clang's view of their prototypes.

Every block carries its own INTERFACE ... END INTERFACE, so a program
INCLUDEs NAME.FI among its declarations.  A function whose arguments may
be passed in more than one way (arguments.py: handles, strings, pointers
to structures and scalars, wide strings, narrow integers) is a generic
interface whose specifics generics.py chooses; the specifics that other
C names of its structures add go to blocks of those names.  An interface
block opens with the C prototype as a comment and declares the arguments
of one declaration together, since a program pays for every statement it
compiles; an abstract interface, which a program's own procedure
follows, declares one argument a line with its C type after the "!"."""

import itertools
import re

from .arguments import NARROW, STRUCTURE, Form, Structures, argument_slot
from .c_types import Untranslatable, resolve, result_type, strip_attributes
from .derived_types import definition_lines
from .fortran_names import FORTRAN_NAME
from .source_form import comment_lines, statement_lines
from .generics import (is_neutral, other_name_specifics, specific_forms,
                        variadic_specifics)

_TYPE_WORDS = re.compile(r"[A-Za-z_]\w*")
# Memory C hands out as an HGLOBAL or HLOCAL that a program reaches through
# C_F_POINTER, or keeps for GlobalLock: these functions return TYPE(C_PTR).
# The other results of those types (GlobalFree's NULL on success,
# LoadResource's handle) stay integer handles, as programs compare them
# with 0.
POINTER_RESULTS = frozenset({"GlobalAlloc", "LocalAlloc"})


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


def _result(name, result_c, typedefs, structures):
    ctype = resolve(result_c, typedefs)
    if ctype.form == "record":
        ftype, _ = structures.of(ctype)
        if ftype is None:
            raise Untranslatable("returns a structure")
        return Form("TYPE(%s)" % ftype.name, frozenset(), "", (ftype,))
    if name in POINTER_RESULTS:
        return Form("TYPE(C_PTR)", frozenset({"C_PTR"}))
    fortran = result_type(ctype)
    return Form(fortran.declaration, frozenset(fortran.kinds)) if fortran else None


def _type_definitions(types, compact):
    lines, written = [], set()
    for ftype in types:
        if ftype.name.upper() not in written:
            lines += definition_lines(ftype, written, compact=compact)
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


def _procedure_lines(keyword, name, dummies, binding, result, forms,
                     c_types=None, result_c=""):
    """The body of one procedure.  Without C types (an interface block,
    whose C prototype heads it as a comment), the body is compact, since
    a program pays for every statement it compiles: the result's type goes
    before FUNCTION, the arguments of one declaration share a statement,
    and so do the consecutive members of one declaration in the types.
    With them (an abstract interface, which a program's own procedure
    follows), one statement a line with its C type after the "!"."""
    compact = c_types is None
    kinds, needed = _kinds_and_types([result] + list(forms))
    prefix = result.declaration + " " if compact and result else ""
    lines = statement_lines("%s%s %s(%s)" % (prefix, keyword, name,
                                             ", ".join(dummies)), tail=binding)
    if kinds:
        lines += statement_lines("USE, INTRINSIC :: ISO_C_BINDING, ONLY: "
                                 + ", ".join(sorted(kinds)))
    lines += _type_definitions(needed, compact)
    if compact:
        declared = {}
        for dummy, form in zip(dummies, forms):
            declared.setdefault(form.declaration, []).append(dummy + form.shape)
        for declaration, entities in declared.items():
            lines += statement_lines("%s :: %s" % (declaration, ", ".join(entities)))
    else:
        if result:
            lines += statement_lines("%s :: %s" % (result.declaration, name),
                                     remark=" ".join(result_c.split()))
        for dummy, form, c_type in zip(dummies, forms, c_types):
            lines += statement_lines("%s :: %s%s" % (form.declaration, dummy,
                                                     form.shape),
                                     remark=" ".join(c_type.split()))
    lines += statement_lines("END %s %s" % (keyword, name))
    return lines


def interface_lines(name, declaration, typedefs, structures=None,
                    resource_arguments=(), binding=None, specific=None,
                    exact_kinds=False):
    """The lines of one function's interface block.  Raises Untranslatable
    with the reason when the prototype has no faithful BIND(C) counterpart.
    `resource_arguments` names the string parameters that also take a
    resource or atom number.  `binding` is the C name bound to (default
    `name`: another C name of the function, or a support-library wrapper);
    with `specific`, the block is always the generic `name`, its specifics
    named after `specific`, so that several such blocks of one name add up
    to one generic; with `exact_kinds`, a narrow integer takes its own
    kind only."""
    structures = structures or Structures()
    if declaration.get("variadic") and name not in VARIADIC_FUNCTIONS \
            and binding not in VARIADIC_FUNCTIONS:
        raise Untranslatable("variable argument list")
    result_c = result_c_type(declaration["type"]["qualType"])
    result = _result(name, result_c, typedefs, structures)
    parameters = [node for node in declaration.get("inner", [])
                  if node.get("kind") == "ParmVarDecl"]
    c_types = [p["type"]["qualType"] for p in parameters]
    c_names = [p.get("name") for p in parameters]
    slots = [argument_slot(resolve(c_type, typedefs), structures,
                           c_name in resource_arguments, False, c_name, c_type,
                           exact_kinds)
             for c_name, c_type in zip(c_names, c_types)]
    if binding not in (None, name):
        # The blocks of a structure's other names extend the generic of
        # the function's own name only: a block under another name offers
        # the neutral names of its structures, not those.
        for slot in slots:
            slot.aliases = [a for a in slot.aliases if is_neutral(slot, a)]
    return _block_lines(name, result, result_c, c_names, c_types, slots,
                        structures, binding or name, specific,
                        bool(declaration.get("variadic")))


# The variadic functions whose variable arguments are taken as integers,
# handles and strings (wsprintfA's values after its format): every
# combination of up to MAX_VARIABLE_ARGUMENTS of them, while the generic
# keeps at most MAX_VARIADIC_SPECIFICS specifics.  Under the x64
# convention a variable argument goes in the register or stack slot that a
# prototyped argument of its type takes, so a specific with that prototype
# passes it as C would; only a REAL would differ (C passes a variable
# double in an integer register too), and none is taken.
VARIADIC_FUNCTIONS = frozenset({"wsprintfA", "ShellMessageBoxA"})
MAX_VARIABLE_ARGUMENTS = 4
MAX_VARIADIC_SPECIFICS = 128
_VARIABLE_FORMS = (
    Form("INTEGER(C_INT32_T), VALUE", frozenset({"C_INT32_T"})),
    Form("INTEGER(C_INTPTR_T), VALUE", frozenset({"C_INTPTR_T"})),
    Form("CHARACTER(KIND=C_CHAR)", frozenset({"C_CHAR"})))
_VARIABLE_TYPES = ("int", "INT_PTR, a handle", "LPCSTR")


def variable_tails(fixed_specifics):
    """The forms of the variable arguments of each specific, [()] for none
    and then every combination of one, two, ... of _VARIABLE_FORMS, as
    many as keep the specifics at most MAX_VARIADIC_SPECIFICS."""
    tails, count = [()], 0
    while count < MAX_VARIABLE_ARGUMENTS:
        longer = list(itertools.product(range(len(_VARIABLE_FORMS)),
                                        repeat=count + 1))
        if fixed_specifics * (len(tails) + len(longer)) > MAX_VARIADIC_SPECIFICS:
            break
        tails += longer
        count += 1
    return tails


def _block_lines(name, result, result_c, c_names, c_types, slots, structures,
                 bound_name, specific=None, variadic=False):
    kinds, types = _kinds_and_types([f for slot in slots
                                     for f in slot.forms.values()] + [result])
    dummies = dummy_names(c_names, name, kinds, c_types, {t.name for t in types})
    # Another C name of a structure that a parameter has (CREDENTIAL beside
    # CredWriteA's Credential) is not offered: the keyword keeps its name.
    taken = {dummy.upper() for dummy in dummies}
    for slot in slots:
        slot.aliases = [a for a in slot.aliases
                        if a.types[0].name.upper() not in taken]
    types += [a.types[0] for slot in slots for a in slot.aliases]
    for slot in slots:
        if slot.role == STRUCTURE:
            structures.other_names += len(slot.aliases)
            structures.type_names.update(form.types[0].name for form in
                                         [slot.forms["typed"]] + slot.aliases)
    structures.renamed_arguments += sum(
        1 for c_name, dummy in zip(c_names, dummies)
        if c_name and dummy != c_name.lstrip("_"))
    keyword = "FUNCTION" if result else "SUBROUTINE"
    binding = "BIND(C, NAME='%s')" % bound_name
    arrangement = specific_forms(slots)
    specifics = arrangement.specifics
    if variadic:
        specifics = variadic_specifics(slots)
    structures.arrangement = arrangement
    tails = variable_tails(len(specifics)) if variadic else [()]
    prototype = comment_lines("C: %s %s (%s)" % (
        " ".join(result_c.split()), name, ", ".join(
            "%s %s" % (" ".join(c_type.split()), dummy)
            for c_type, dummy in zip(c_types, dummies))))
    if len(specifics) == 1 and not variadic and specific is None:
        return (statement_lines("INTERFACE") + prototype
                + _procedure_lines(keyword, name, dummies, binding, result,
                                   specifics[0])
                + statement_lines("END INTERFACE"))
    lines = statement_lines("INTERFACE %s" % name) + prototype
    if len(specifics) > 1 or variadic:
        note = generic_note(slots, dummies, arrangement)
        if variadic:
            note += (" Then up to %d variable arguments, each an "
                     "INTEGER(C_INT32_T), an INTEGER(C_INTPTR_T) or a "
                     "character scalar." % max(len(tail) for tail in tails))
        lines += comment_lines(note)
    named = specific is None and \
        name.upper() not in {t.name.upper() for t in types}
    stem = specific or name
    number = 0
    for forms in specifics:
        for tail in tails:
            number += 1
            extra = ["vararg%d" % n for n in range(1, len(tail) + 1)]
            lines += _specific_lines(
                keyword, stem, number, dummies + extra, binding, result,
                forms + tuple(_VARIABLE_FORMS[f] for f in tail),
                named or (specific is not None and len(specifics) * len(tails) == 1))
    structures.extensions = {}
    for other, extra in other_name_specifics(slots).items():
        chunk = statement_lines("INTERFACE %s" % name)
        for forms in extra:
            number += 1
            chunk += _specific_lines(keyword, stem, number, dummies, binding,
                                     result, forms)
        structures.extensions[other] = chunk + statement_lines(
            "END INTERFACE %s" % name)
    return lines + statement_lines("END INTERFACE %s" % name)


def _specific_lines(keyword, name, number, dummies, binding, result, forms,
                    named=False):
    """The lines of a generic's `number`th specific: "_" and the number
    after the generic's name.  The first one `named` has the generic's own
    name, so that the name still designates a procedure
    (C_FUNLOC(DefWindowProcA)) as it did while the function was not
    generic; not where a type has that name (INITCOMMONCONTROLSEX), which
    a generic may share and a procedure may not."""
    suffix = "" if named and number == 1 else "_%d" % number
    return _procedure_lines(keyword, name[:63 - len(suffix)] + suffix, dummies,
                            binding, result, forms)


def _names(dummies, positions):
    return ", ".join(dummies[i] for i in positions)


def generic_note(slots, dummies, arrangement):
    """The comment at the head of a generic: where C_NULL_PTR or another
    TYPE(C_PTR) goes, which arguments take it together, and the other C
    names of its structures."""
    parts = []
    units = arrangement.units
    if len(units) == 1 and len(units[0]) == 1:
        parts.append("TYPE(C_PTR) for %s" % dummies[units[0][0]])
    elif units:
        parts.append("TYPE(C_PTR) for any of %s%s" % (", ".join(
            _names(dummies, u) if len(u) == 1 else "(%s)" % _names(dummies, u)
            for u in units), "" if arrangement.in_any_combination()
            else " (those in parentheses together)"))
    if arrangement.reserved:
        parts.append("%s: C_NULL_PTR" % _names(dummies, arrangement.reserved))
    for position, slot in enumerate(slots):
        if slot.role != STRUCTURE or not slot.aliases:
            continue
        neutral = ["TYPE(%s)" % a.types[0].name for a in slot.aliases
                   if is_neutral(slot, a)]
        others = ["TYPE(%s)" % a.types[0].name for a in slot.aliases
                  if not is_neutral(slot, a)]
        if neutral:
            parts.append("%s: also %s" % (dummies[position], neutral[0]))
        if others:
            parts.append("%s: %s with every other argument given, from the "
                         "block of that name" % (dummies[position], ", ".join(others)))
    narrow = [i for i, slot in enumerate(slots) if slot.role == NARROW]
    if narrow:
        parts.append("%s: a default INTEGER" % _names(dummies, narrow))
    return "Generic: " + "; ".join(parts) + "."


def abstract_interface_lines(name, pointer_type, typedefs, structures,
                             c_names=()):
    """The ABSTRACT INTERFACE block of a callback type "R (*)(P1, P2)",
    named as the C type, which a program's BIND(C) procedure follows; the
    procedure itself is passed as C_FUNLOC(procedure)."""
    result_c, c_types = function_pointer_parts(pointer_type)
    result = _result(name, result_c, typedefs, structures)
    c_names = list(c_names) + [None] * (len(c_types) - len(c_names))
    forms = [list(argument_slot(resolve(t, typedefs), structures,
                                callback=True).forms.values())[0]
             for t in c_types]
    kinds, types = _kinds_and_types(forms + [result])
    dummies = dummy_names(c_names, name, kinds, c_types, {t.name for t in types})
    keyword = "FUNCTION" if result else "SUBROUTINE"
    return (statement_lines("ABSTRACT INTERFACE")
            + _procedure_lines(keyword, name, dummies, "BIND(C)", result, forms,
                               c_types, result_c)
            + statement_lines("END INTERFACE"))
