"""Which structures and unions of a header unit become derived types, under
which names, held how: each type is built, its layout compared with what
the C compiler says, and for every C union the member that holds it
chosen."""

import re
from collections import defaultdict

from . import toolchain
from .c_records import RecordCatalog, split_array
from .c_types import Untranslatable
from .derived_types import TypeBuilder, layout_checks
from .fortran_names import FORTRAN_NAME

LAYOUT_DIFFERS = "layout Fortran cannot reproduce (packed or over-aligned)"
_COM_NAME = re.compile(r"Vtbl$|VTBL$")


def c_spelling(record):
    return record.names[0] if record.names else "%s %s" % (record.kind, record.tag)


def _is_handle_record(record):
    """The dummy structure behind a handle type (struct HWND__ { int
    unused; }): programs hold handles as integers."""
    return bool(record.tag) and record.tag.endswith("__") and [
        f.name for f in record.fields] == ["unused"]


def _is_com_interface(record):
    return bool(_COM_NAME.search(c_spelling(record))) or any(
        f.name == "lpVtbl" for f in record.fields)


def _member_records(catalog, record):
    """The records that the record's members are of by typedef or tag
    (not those defined in place), reached through the ones in place."""
    found = []
    for c_field in record.fields:
        if c_field.inline is not None:
            found += _member_records(catalog, c_field.inline)
            continue
        ctype = catalog.resolve(split_array(c_field.type_text)[0])
        if ctype.form == "record":
            member = catalog.record_of(ctype)
            if member is not None:
                found.append(member)
    return found


def _inline_unions(record):
    unions = []
    for c_field in record.fields:
        if c_field.inline is not None:
            if c_field.inline.kind == "union":
                unions.append(c_field.inline)
            unions += _inline_unions(c_field.inline)
    return unions


def _c_paths(record, prefix=""):
    """Every C member designator of the record for offsetof and sizeof,
    through the members defined in place."""
    paths = []
    for c_field in record.fields:
        if c_field.bits is not None:
            continue
        if c_field.name is None:
            if c_field.inline is not None:
                paths += _c_paths(c_field.inline, prefix)
            continue
        path = prefix + c_field.name
        paths.append(path)
        if c_field.inline is not None and not split_array(c_field.type_text)[1]:
            paths += _c_paths(c_field.inline, path + ".")
    return paths


def _probe_expressions(record):
    spelling = c_spelling(record)
    expressions = ["sizeof(%s)" % spelling, "_Alignof(%s)" % spelling]
    for path in _c_paths(record):
        expressions.append("__builtin_offsetof(%s, %s)" % (spelling, path))
        expressions.append("sizeof(((%s *)0)->%s)" % (spelling, path))
    return expressions


class UnitTypes:
    """The derived types of one header unit: `types` {record key: FType},
    `records` {record key: CRecord}, `skipped` {reason: [C name]}, the
    layout `checks` {Fortran name: [(C expression, value)]} that passed, and
    `members` {record key: [record keys its members need]}."""

    def __init__(self, unit, declarations, taken_names):
        self.catalog = RecordCatalog(declarations)
        self.types, self.records, self.checks = {}, {}, {}
        self.skipped = defaultdict(list)
        self.members = {}
        names = self._choose_names(taken_names)
        order = self._dependency_order(names)
        values = toolchain.evaluate_expressions(unit, [
            e for key in order for e in _probe_expressions(self.catalog.by_key[key])])
        builder = TypeBuilder(self.catalog, {}, taken_names | {
            n.upper() for n in names.values()})
        for key in order:
            record = self.catalog.by_key[key]
            builder.fortran_names[key] = names[key]
            try:
                self._settle(builder, record, values)
            except Untranslatable as problem:
                del builder.fortran_names[key]
                self.skipped[str(problem)].append(c_spelling(record))
        for key in builder.fortran_names:
            record = self.catalog.by_key[key]
            self.records[key] = record
            self.types[key] = builder.standalone(record)
            self.members[key] = [m.key for m in _member_records(self.catalog, record)]

    def _choose_names(self, taken_names):
        """{record key: Fortran name}: the first typedef name, or the tag when
        that name is taken (SIZE is an intrinsic: tagSIZE)."""
        names, used = {}, set()
        for record in self.catalog.in_order:
            if record.key in names or not (record.names or record.tag):
                continue
            if _is_handle_record(record):
                continue
            if _is_com_interface(record):
                self.skipped["COM interface (use TYPE(C_PTR))"].append(
                    c_spelling(record))
                continue
            choices = record.names[:1] + ([record.tag] if record.tag else [])
            for choice in choices:
                if FORTRAN_NAME.match(choice) and choice.upper() not in taken_names \
                        and choice.upper() not in used:
                    names[record.key] = choice
                    used.add(choice.upper())
                    break
            else:
                if FORTRAN_NAME.match(choices[0]):
                    self.skipped["name taken by a constant, a function or "
                                 "an intrinsic"].append(c_spelling(record))
        return names

    def _dependency_order(self, names):
        order, seen = [], set()

        def visit(record):
            if record.key in seen:
                return
            seen.add(record.key)
            for member in _member_records(self.catalog, record):
                visit(member)
            if record.key in names:
                order.append(record.key)
        for record in self.catalog.in_order:
            visit(record)
        return order

    def _settle(self, builder, record, values):
        """Builds the record's type, checks its layout and picks the members
        that hold its unions: the first member that keeps the layout, so
        OVERLAPPED keeps Offset and OffsetHigh."""
        spelling = c_spelling(record)

        def holds():
            checks = layout_checks(builder.standalone(record), spelling)
            return all(values.get(e) == v for e, v, _ in checks)
        if not holds():
            raise Untranslatable(LAYOUT_DIFFERS)
        for union in ([record] if record.kind == "union" else []) + _inline_unions(record):
            safe = builder.safe_choice(union)
            for index in range(safe):
                if union.fields[index].bits is not None:
                    continue
                builder.choices[union.key] = index
                try:
                    if holds():
                        break
                except Untranslatable:
                    pass
                del builder.choices[union.key]
        self.checks[builder.fortran_names[record.key]] = layout_checks(
            builder.standalone(record), spelling)
