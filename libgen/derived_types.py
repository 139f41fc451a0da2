"""BIND(C) derived types for the headers' structures and unions.

A member that is a structure of its own has that structure's type (MSG%pt
is a TYPE(POINT)), so a member goes wherever its type is wanted; the
library block of a type holds only the type itself and the types defined
in place in it, and names the blocks it needs (see needed_types).  An
interface body, which sees nothing of its host, defines them all (see
definition_lines).  Members keep their C names; members of anonymous structures and unions become members of the
type that holds them, as C reaches them.  Fortran has no unions: a union is
held as one of its members, padded to the union's size, and the layout of
every type is compared with the C compiler's before it is written."""

import re
from dataclasses import dataclass, field
from typing import List, Optional

from .c_records import align_up, split_array
from .c_types import Untranslatable, integer_type, is_handle
from .fortran_names import FORTRAN_NAME
from .source_form import comment_lines, statement_lines


_PLACE_NAME = re.compile(
    r"\b(struct|union)\s+[^()\[]*\((?:anonymous|unnamed)[^)]*\)")


def c_remark(type_text):
    """A member's C type for its remark; a structure defined in place
    reads "struct {...}" instead of clang's file position."""
    return " ".join(_PLACE_NAME.sub(r"\1 {...}", type_text).split())


@dataclass
class Member:
    """One component: Fortran name, declaration and kinds, Fortran bounds,
    element size and alignment, the C type for the remark, the C member
    name that reaches it (None for padding and bit-field units) and, for a
    structure member, the type of its elements."""
    name: str
    declaration: str
    kinds: frozenset
    bounds: tuple
    size: int
    align: int
    remark: str
    c_name: Optional[str]
    nested: Optional["FType"] = None

    def count(self):
        total = 1
        for bound in self.bounds:
            total *= bound
        return total


@dataclass
class FType:
    name: str
    members: List[Member] = field(default_factory=list)
    notes: List[str] = field(default_factory=list)
    standalone: bool = False   # a type of its own block, checked on its own

    def layout(self):
        """(size, alignment, [member offsets]) under C's natural rules, which
        gfortran follows for BIND(C) types."""
        offset, alignment, offsets = 0, 1, []
        for member in self.members:
            offset = align_up(offset, member.align)
            offsets.append(offset)
            offset += member.size * member.count()
            alignment = max(alignment, member.align)
        return align_up(offset, alignment), alignment, offsets

    def kinds(self):
        found = set()
        for member in self.members:
            found |= member.kinds
            if member.nested:
                found |= member.nested.kinds()
        return found


def _scalar(ctype):
    """(declaration, kinds, size) of a member of a non-record type."""
    if ctype.form == "int":
        fortran = integer_type(ctype)
        return fortran.declaration, frozenset(fortran.kinds), ctype.size
    if ctype.form == "char":
        return "CHARACTER(KIND=C_CHAR)", frozenset({"C_CHAR"}), 1
    if ctype.form == "real":
        kind = "C_FLOAT" if ctype.size == 4 else "C_DOUBLE"
        return "REAL(%s)" % kind, frozenset({kind}), ctype.size
    if is_handle(ctype):
        return "INTEGER(C_INTPTR_T)", frozenset({"C_INTPTR_T"}), 8
    if ctype.form == "pointer":
        return "TYPE(C_PTR)", frozenset({"C_PTR"}), 8
    if ctype.form == "funptr":
        return "TYPE(C_FUNPTR)", frozenset({"C_FUNPTR"}), 8
    raise Untranslatable("member of a type Fortran cannot hold")


class TypeBuilder:
    """Builds the FType of records of one catalog.  `fortran_names` maps a
    record key to the name of its standalone type; `choices` maps a union's
    key to the index of the member that holds it."""

    def __init__(self, catalog, fortran_names, reserved_names):
        self.catalog = catalog
        self.fortran_names = fortran_names
        self.reserved = reserved_names
        self.choices = {}
        self._c_layouts = {}
        self._building = set()

    # The C side: natural layout of the model, for union sizes and choices.

    def c_field_layout(self, c_field):
        if c_field.inline is not None:
            size, alignment = self.c_record_layout(c_field.inline)
            bounds = split_array(c_field.type_text)[1]
        else:
            element, bounds = split_array(c_field.type_text)
            ctype = self.catalog.resolve(element)
            if ctype.form == "record":
                record = self.catalog.record_of(ctype)
                if record is None:
                    raise Untranslatable("member of an incomplete structure")
                size, alignment = self.c_record_layout(record)
            else:
                size = _scalar(ctype)[2]
                alignment = size
        for bound in bounds:
            size *= bound
        return size, alignment

    def c_record_layout(self, record):
        if record.key in self._c_layouts:
            return self._c_layouts[record.key]
        offset, alignment, unit = 0, 1, None   # unit: (size, bits left)
        for c_field in record.fields:
            size, field_alignment = self.c_field_layout(c_field)
            alignment = max(alignment, field_alignment)
            if record.kind == "union":
                offset = max(offset, size)
                continue
            if c_field.bits is not None:
                if c_field.bits == 0:
                    unit = None
                    continue
                if unit and unit[0] == size and unit[1] >= c_field.bits:
                    unit = (size, unit[1] - c_field.bits)
                    continue
                unit = (size, 8 * size - c_field.bits)
            else:
                unit = None
            offset = align_up(offset, field_alignment) + size
        result = (align_up(offset, alignment), alignment)
        self._c_layouts[record.key] = result
        return result

    def safe_choice(self, union):
        """The first member with the union's own alignment: holding the
        union as that member keeps its alignment wherever it stands."""
        alignment = self.c_record_layout(union)[1]
        for index, c_field in enumerate(union.fields):
            if c_field.bits is None and self.c_field_layout(c_field)[1] == alignment:
                return index
        raise Untranslatable("union of bit-fields")

    # The Fortran side.

    def standalone(self, record, name=None):
        """The type of the record under its Fortran name, or under `name`
        (another C name of it: a type of its own with the same members)."""
        if record.key in self._building:
            raise Untranslatable("structure that holds itself")
        self._building.add(record.key)
        try:
            ftype = self._build(record, name or self.fortran_names[record.key])
        finally:
            self._building.discard(record.key)
        ftype.standalone = True
        return ftype

    def _build(self, record, name):
        ftype = FType(name)
        state = _MemberNames()
        self._add_record_members(record, ftype, state)
        if not ftype.members:
            raise Untranslatable("structure without members")
        return ftype

    def _add_record_members(self, record, ftype, state):
        if record.kind == "union":
            self._add_union(record, ftype, state)
            return
        units = []   # bit-fields of the unit being filled: (name, bits)
        unit_member, bits_left = None, 0
        for c_field in record.fields:
            if c_field.bits is not None:
                if c_field.bits < 0:
                    raise Untranslatable("bit-field of unknown width")
                size = self.c_field_layout(c_field)[0]
                if c_field.bits == 0:
                    unit_member = None
                    continue
                if unit_member is None or unit_member.size != size \
                        or bits_left < c_field.bits:
                    declaration, kinds, _ = _scalar(self.catalog.resolve(
                        c_field.type_text))
                    unit_member = Member(state.take("Bits%d" % state.next_bits()),
                                         declaration, kinds, (), size, size,
                                         c_remark(c_field.type_text),
                                         None)
                    ftype.members.append(unit_member)
                    units.append((unit_member.name, []))
                    bits_left = 8 * size
                first = 8 * size - bits_left
                units[-1][1].append((c_field.name or "(unnamed)", first,
                                     first + c_field.bits - 1))
                bits_left -= c_field.bits
                continue
            unit_member = None
            self._add_field(c_field, ftype, state)
        for unit_name, parts in units:
            ftype.notes.append("%s holds the bit-fields %s." % (unit_name, ", ".join(
                "%s (bit%s %d%s)" % (part, "s" if last > first else "", first,
                                     "-%d" % last if last > first else "")
                for part, first, last in parts)))

    def _add_union(self, union, ftype, state):
        index = self.choices.get(union.key)
        if index is None:
            index = self.safe_choice(union)
        chosen = union.fields[index]
        if chosen.bits is not None:
            raise Untranslatable("union held as a bit-field")
        before = len(ftype.members)
        self._add_field(chosen, ftype, state)
        held = ", ".join(m.name for m in ftype.members[before:])
        union_size = self.c_record_layout(union)[0]
        chosen_size = self.c_field_layout(chosen)[0]
        others = [_member_words(f) for i, f in enumerate(union.fields) if i != index]
        if union_size > chosen_size:
            pad = Member(state.take("Pad%d" % state.next_pad()), "INTEGER(C_INT8_T)",
                         frozenset({"C_INT8_T"}), (union_size - chosen_size,),
                         1, 1, "", None)
            ftype.members.append(pad)
            held += " and %s" % pad.name
        if others:
            ftype.notes.append(
                "A C union is held here as %s; %s share%s its bytes: read "
                "%s with TRANSFER." % (held, ", ".join(others),
                                       "" if len(others) > 1 else "s",
                                       "them" if len(others) > 1 else "it"))

    def _add_field(self, c_field, ftype, state):
        if c_field.name is None:
            if c_field.inline is None:
                raise Untranslatable("unnamed member")
            if c_field.inline.kind == "union":
                self._add_union(c_field.inline, ftype, state)
            else:
                self._add_record_members(c_field.inline, ftype, state)
            return
        element, bounds = split_array(c_field.type_text)
        if any(bound == 0 for bound in bounds):
            raise Untranslatable("open array member")
        fortran_bounds = tuple(reversed(bounds))
        remark = c_remark(c_field.type_text)
        name = state.take(c_field.name)
        if c_field.inline is not None:
            nested = self._build(c_field.inline, self._private_name(
                "%s_%s" % (ftype.name, name)))
            self._add_nested(ftype, name, nested, fortran_bounds, c_field.name,
                             remark)
            return
        ctype = self.catalog.resolve(element)
        if ctype.form == "record":
            record = self.catalog.record_of(ctype)
            if record is None:
                raise Untranslatable("member of an incomplete structure")
            if record.key not in self.fortran_names:
                raise Untranslatable("member of a structure not written")
            self._add_nested(ftype, name, self.standalone(record),
                             fortran_bounds, c_field.name, remark)
            return
        declaration, kinds, size = _scalar(ctype)
        ftype.members.append(Member(name, declaration, kinds, fortran_bounds,
                                    size, size, remark, c_field.name))

    def _add_nested(self, ftype, name, nested, bounds, c_name, remark):
        size, alignment, _ = nested.layout()
        ftype.members.append(Member(name, "TYPE(%s)" % nested.name, frozenset(),
                                    bounds, size, alignment, remark, c_name,
                                    nested))

    def _private_name(self, name):
        if len(name) > 63:
            name = name[:59] + "_%03d" % (sum(map(ord, name)) % 1000)
        while name.upper() in self.reserved:
            name += "_"
        return name


def _member_words(c_field):
    """How a union member is named in a note: its name, or for an unnamed
    structure the names of its members in parentheses."""
    if c_field.name:
        return c_field.name
    if c_field.inline is not None:
        return "(%s)" % " ".join(_member_words(f) for f in c_field.inline.fields)
    return "an unnamed member"


class _MemberNames:
    """Fortran component names of one type: C names where Fortran takes
    them, unique without regard to case."""

    def __init__(self):
        self.taken = set()
        self.bits = self.pads = 0

    def next_bits(self):
        self.bits += 1
        return self.bits

    def next_pad(self):
        self.pads += 1
        return self.pads

    def take(self, c_name):
        name = c_name.lstrip("_")
        if not FORTRAN_NAME.match(name):
            name = "m_" + name
        name = name[:63]
        while name.upper() in self.taken:
            name = name[:60] + "_2" if not name.endswith("_2") else name + "_"
        self.taken.add(name.upper())
        return name


def layout_checks(ftype, c_spelling):
    """(C expression, value the Fortran type gives it, what it measures in
    Fortran) triples that must all hold: the type's size and alignment, and
    the offset and size of every member that has a C name, through the
    structures defined in place (a standalone type's copy is checked with
    that type).  What is measured reads "size -", "align -", "offset PATH"
    or "size PATH" with PATH a component path such as pt%x."""
    size, alignment, _ = ftype.layout()
    checks = [("sizeof(%s)" % c_spelling, size, "size -"),
              ("_Alignof(%s)" % c_spelling, alignment, "align -")]

    def walk(current, base, path, fortran_path):
        _, _, offsets = current.layout()
        for member, offset in zip(current.members, offsets):
            if member.c_name is None:
                continue
            member_path = path + member.c_name
            member_fortran = fortran_path + member.name
            checks.append(("__builtin_offsetof(%s, %s)" % (c_spelling, member_path),
                           base + offset, "offset " + member_fortran))
            checks.append(("sizeof(((%s *)0)->%s)" % (c_spelling, member_path),
                           member.size * member.count(), "size " + member_fortran))
            if member.nested and not member.nested.standalone \
                    and not member.bounds:
                walk(member.nested, base + offset, member_path + ".",
                     member_fortran + "%")
    walk(ftype, 0, "", "")
    return checks


def needed_types(ftype):
    """The names of the standalone types the type holds, through the types
    defined in place in it, each once in member order: the blocks that its
    own block needs."""
    names = []
    for member in ftype.members:
        if member.nested is None:
            continue
        found = [member.nested.name] if member.nested.standalone \
            else needed_types(member.nested)
        names += [n for n in found if n not in names]
    return names


def definition_lines(ftype, written=None, held=True, compact=False):
    """The TYPE definitions of the type, those of the types it holds first
    (each once, tracked in `written`).  Without `held` the standalone types
    it holds are left to their own blocks: only the types defined in place
    come first.  Compact, for an interface body, consecutive members of one
    declaration share a statement and the comments are left out."""
    written = set() if written is None else written
    lines = []
    for member in ftype.members:
        if member.nested and member.nested.name.upper() not in written \
                and (held or not member.nested.standalone):
            lines += definition_lines(member.nested, written, held, compact)
    written.add(ftype.name.upper())
    lines += statement_lines("TYPE, BIND(C) :: %s" % ftype.name)
    if compact:
        runs = []
        for member in ftype.members:
            if runs and runs[-1][0] == member.declaration:
                runs[-1][1].append(_entity(member))
            else:
                runs.append((member.declaration, [_entity(member)]))
        for declaration, entities in runs:
            lines += statement_lines("%s :: %s" % (declaration, ", ".join(entities)))
    else:
        for note in ftype.notes:
            lines += comment_lines(note)
        for member in ftype.members:
            lines += statement_lines("%s :: %s" % (member.declaration,
                                                   _entity(member)),
                                     remark=member.remark)
    lines += statement_lines("END TYPE %s" % ftype.name)
    return lines


def _entity(member):
    if member.bounds:
        return "%s(%s)" % (member.name, ",".join(map(str, member.bounds)))
    return member.name
