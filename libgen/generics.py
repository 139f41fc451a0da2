"""Which specifics a function's generic interface has.

A Fortran generic resolves on the whole argument list, so a call that
passes C_NULL_PTR at some pointer arguments and typed variables at others
needs a specific with exactly that mix: the combinations multiply, and so
does the text every program that calls the function compiles (each
statement of an interface body costs about as much as a statement of the
program).  The arrangement keeps them bounded:

- Every call that compiled against library set 3 still finds its
  specific: set 3's specifics are kept (earlier_specifics).
- C_NULL_PTR, or another TYPE(C_PTR), goes in place of any pointer
  argument (handle, string, structure, scalar, wide string) in any
  combination while a function has at most MAX_UNITS of them (16
  combinations).  With more, the arguments of one C type go together, all
  TYPE(C_PTR) or all given (CreateProcessA's two LPSECURITY_ATTRIBUTES,
  RegQueryInfoKeyA's eight LPDWORD counts); while there is room, a group,
  the smallest first, gives its first arguments units of their own and
  keeps the rest together (ShellExecuteA's lpParameters and lpDirectory);
  beyond MAX_UNITS groups, neighbouring groups go together in pairs from
  the last ones back (CreateProcessA's STARTUPINFOA and
  PROCESS_INFORMATION; RegCreateKeyExA's lpClass and
  lpSecurityAttributes, phkResult and lpdwDisposition).  An argument the
  header calls reserved takes only TYPE(C_PTR) there (null_units).
- A given argument takes its own form: an integer handle, a character
  scalar, a resource number, the derived type, a variable of the scalar's
  kind, a UTF-16 array, and for a narrow integer by value a default-kind
  INTEGER.  The structures of a call go under their first names, or under
  their neutral names (WNDCLASS for WNDCLASSA) in every combination
  (namings); under another C name of theirs (tags, RTL_ names, other
  typedefs) where every argument is given, in a block of that name's
  (other_name_specifics).
- A generic has at most MAX_SPECIFICS specifics: beyond, its arguments go
  in fewer units.

Every two specifics differ at some argument where one of them has a form
that must be given (TYPE(C_PTR), an integer, a character array, a type
under another of its names, a number) and the other a different type,
kind or rank, so each generic is unambiguous by Fortran's rules
(distinguishable)."""

import itertools
from dataclasses import dataclass, field
from typing import List

from .arguments import (ARRAY, ARRAY_OPTIONAL, C_POINTER, EARLIER, HANDLE,
                        INTEGER, NARROW, NUMBER, ONLY, POINTER_ROLES,
                        RESOURCE, SCALAR, SCALAR_OPTIONAL, STRING, STRUCTURE,
                        TYPED, UTF16, WIDE)

MAX_UNITS = 4          # 2 ** 4 = 16 combinations of C_PTR and given forms
MAX_SPECIFICS = 64
# Set 3 mixed up to this many structure and scalar pointers freely while
# its specifics stayed at most EARLIER_SPECIFICS; its strings without
# pointers were one optional array each, which takes a scalar as well: up
# to EARLIER_STRING_MIXES strings keep every mix of scalars and arrays,
# more the scalars before the arrays.
EARLIER_MIXED_POINTERS = 3
EARLIER_SPECIFICS = 16
EARLIER_STRING_MIXES = 2

# The form of a given argument in the combinations of C_NULL_PTR.
_GIVEN = {HANDLE: INTEGER, STRUCTURE: TYPED, SCALAR: TYPED,
          STRING: SCALAR_OPTIONAL, RESOURCE: SCALAR_OPTIONAL, WIDE: UTF16,
          NARROW: INTEGER}
# The form of an argument in library set 3.
_EARLIER = {HANDLE: INTEGER, NARROW: EARLIER, WIDE: C_POINTER,
            STRUCTURE: TYPED, SCALAR: TYPED, STRING: ARRAY_OPTIONAL,
            RESOURCE: ARRAY_OPTIONAL}


@dataclass
class Arrangement:
    """A function's specifics (tuples of Forms, one per argument), the
    units of arguments that take TYPE(C_PTR) together (lists of argument
    positions) and the reserved arguments'."""
    specifics: List[tuple]
    units: List[list] = field(default_factory=list)
    reserved: List[int] = field(default_factory=list)

    def in_any_combination(self):
        return all(len(unit) == 1 for unit in self.units)


def specific_forms(slots):
    """The Arrangement of a function with these argument Slots; one
    specific when there is nothing to choose."""
    earlier = earlier_specifics(slots)
    max_units = MAX_UNITS
    while True:
        units, reserved = null_units(slots, max_units)
        specifics = _unique(earlier + null_specifics(slots, units, reserved))
        if len(specifics) <= MAX_SPECIFICS or max_units == 1:
            return Arrangement(specifics, units, reserved)
        max_units -= 1


def _unique(specifics):
    seen, kept = set(), []
    for specific in specifics:
        key = tuple((form.declaration, form.shape) for form in specific)
        if key not in seen:
            seen.add(key)
            kept.append(specific)
    return kept


def _specific(slots, keys, naming=None):
    """The forms the keys {position: form key} pick; a typed structure
    under another C name where `naming` {position: Form} says so."""
    forms = []
    for position, slot in enumerate(slots):
        key = keys.get(position, _EARLIER.get(slot.role, ONLY))
        if key == TYPED and naming and position in naming:
            forms.append(naming[position])
        else:
            forms.append(slot.forms[key])
    return tuple(forms)


def earlier_specifics(slots):
    """Library set 3's specifics: handles integers, narrow integers of
    their own kind, wide strings TYPE(C_PTR); each structure or scalar
    pointer typed or C_PTR, in every combination of up to
    EARLIER_MIXED_POINTERS of them while the specifics stayed at most
    EARLIER_SPECIFICS, else the structures all alike and the scalars all
    alike; with each of the string picks.  A function without such
    pointers or resource numbers had one specific, its strings optional
    arrays that scalars passed to as well: here every mix of scalars and
    arrays."""
    roles = [slot.role for slot in slots]
    pointers = [i for i, role in enumerate(roles) if role in (STRUCTURE, SCALAR)]
    strings = [i for i, role in enumerate(roles) if role in (STRING, RESOURCE)]
    resources = [i for i in strings if roles[i] == RESOURCE]
    if not pointers and not resources:
        if len(strings) <= EARLIER_STRING_MIXES:
            picks = [dict(zip(strings, keys)) for keys in itertools.product(
                (SCALAR_OPTIONAL, ARRAY), repeat=len(strings))]
        else:
            picks = string_picks(strings, [])
        return [_specific(slots, pick) for pick in picks]
    picks = string_picks(strings, resources)
    mixed = len(pointers) <= EARLIER_MIXED_POINTERS and \
        2 ** len(pointers) * len(picks) <= EARLIER_SPECIFICS
    if mixed:
        pointer_picks = itertools.product((TYPED, C_POINTER), repeat=len(pointers))
    else:
        # The structures all typed or all C_PTR, and so the scalars.
        groups = sorted({roles[i] for i in pointers})
        pointer_picks = [tuple(choice[groups.index(roles[i])] for i in pointers)
                         for choice in itertools.product((TYPED, C_POINTER),
                                                         repeat=len(groups))]
    specifics = []
    for pointer_pick in pointer_picks:
        for string_pick in picks:
            keys = dict(zip(pointers, pointer_pick))
            keys.update(string_pick)
            specifics.append(_specific(slots, keys))
    return specifics


def variadic_specifics(slots):
    """The specifics of the fixed arguments of a function with a variable
    argument list (wsprintfA's buffer and format), as set 3 would have
    made them: each string pick, the other arguments in their own form;
    the variable arguments multiply them, so they stay few."""
    roles = [slot.role for slot in slots]
    strings = [i for i, role in enumerate(roles) if role in (STRING, RESOURCE)]
    resources = [i for i in strings if roles[i] == RESOURCE]
    return [_specific(slots, pick) for pick in string_picks(strings, resources)]


def string_picks(strings, resources):
    """The string forms of set 3's specifics, [{argument: form key}]: each
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


def null_units(slots, max_units):
    """([units], [reserved positions]): the pointer arguments that take
    TYPE(C_PTR) together, as lists of positions.  The arguments of one C
    type form a group.  While there are fewer than `max_units` units, a
    group, the smallest first, gives its first arguments units of their
    own and keeps the rest together; with more groups than `max_units`,
    neighbouring groups go together in pairs, from the last ones back."""
    positions = [i for i, slot in enumerate(slots) if slot.role in POINTER_ROLES]
    reserved = [i for i in positions if slots[i].reserved]
    groups = {}
    for position in positions:
        if position not in reserved:
            groups.setdefault(slots[position].c_type, []).append(position)
    units = list(groups.values())
    while len(units) > max_units:
        # Neighbours go together, from the last ones back.
        for index in range(len(units) - 2, -1, -2):
            if len(units) <= max_units:
                break
            units[index:index + 2] = [units[index] + units[index + 1]]
    if len(groups) > max_units:
        return units, reserved
    for group in sorted((g for g in groups.values() if len(g) > 1),
                        key=lambda g: (len(g), g[0])):
        alone = min(max_units - len(units), len(group) - 1)
        if alone > 0:
            units.remove(group)
            units += [[position] for position in group[:alone]] + [group[alone:]]
    return sorted(units), reserved


def null_specifics(slots, units, reserved):
    """The specifics of every combination of the units, each all
    TYPE(C_PTR) or all given (the reserved arguments always TYPE(C_PTR)),
    a given resource argument (a string or a wide string) that or a number,
    in each naming of the
    given structures."""
    specifics = []
    if not units and not reserved and NARROW not in [s.role for s in slots]:
        return specifics
    for choice in itertools.product((False, True), repeat=len(units)):
        keys = {i: _GIVEN[slot.role] for i, slot in enumerate(slots)
                if slot.role in _GIVEN}
        keys.update(dict.fromkeys(reserved, C_POINTER))
        for unit, c_pointer in zip(units, choice):
            if c_pointer:
                keys.update(dict.fromkeys(unit, C_POINTER))
        given = [i for i in keys if keys[i] != C_POINTER]
        resources = [i for i in given if NUMBER in slots[i].forms]
        for numbers in itertools.product((False, True), repeat=len(resources)):
            picked = dict(keys)
            picked.update({i: NUMBER for i, n in zip(resources, numbers) if n})
            for naming in namings(slots, given):
                specifics.append(_specific(slots, picked, naming))
    return specifics


def namings(slots, given):
    """The namings of the given structures, [{position: Form}]: their
    first names, and their neutral names (WNDCLASS for WNDCLASSA) where
    one has any."""
    neutral = {i: alias for i in given if slots[i].role == STRUCTURE
               for alias in slots[i].aliases if is_neutral(slots[i], alias)}
    return [{}] + ([neutral] if neutral else [])


def other_name_specifics(slots):
    """{other C name: [specific]}: for each C name of a structure the
    function takes that is neither its first nor its neutral name (a tag,
    an RTL_ name, another typedef), the specific taking a variable of that
    name wherever the structure goes, every other argument given in its
    own form (a handle an integer, a string a character scalar).  These
    extend the generic where a program names the type, in a block of
    their own, so that a program pays for a name only when it uses it."""
    keys = {i: _GIVEN[slot.role] for i, slot in enumerate(slots)
            if slot.role in _GIVEN}
    found = {}
    for i, slot in enumerate(slots):
        if slot.role != STRUCTURE:
            continue
        for alias in slot.aliases:
            name = alias.types[0].name
            if not is_neutral(slot, alias) and name not in found:
                naming = {j: a for j, other in enumerate(slots)
                          if other.role == STRUCTURE
                          for a in other.aliases if a.types[0].name == name}
                found[name] = [_specific(slots, keys, naming)]
    return found


def is_neutral(slot, alias):
    """Whether a structure argument's other name is its neutral one."""
    return is_neutral_name(slot.forms[TYPED].types[0].name, alias.types[0].name)


def is_neutral_name(first, other):
    """Whether `other` is the neutral name of a structure first named
    `first`, the name C gives it without UNICODE (WNDCLASS for WNDCLASSA,
    EXPLICIT_ACCESS for EXPLICIT_ACCESS_A)."""
    return any(first.endswith(suffix) and other == first[:-len(suffix)]
               for suffix in ("A", "_A"))


def _tkr(form):
    """What Fortran tells dummy arguments apart by: type and kind, rank."""
    return form.declaration.split(", ")[0], bool(form.shape)


def distinguishable(one, other):
    """Fortran's rule for two specifics whose dummy arguments have the
    same names: one of them has an argument that must be given where the
    other's has another type, kind or rank."""
    return any(not a.optional and _tkr(a) != _tkr(b)
               for x, y in ((one, other), (other, one)) for a, b in zip(x, y))
