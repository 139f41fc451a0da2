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
from .c_types import strip_attributes
from .fortran_names import FORTRAN_NAME, RESERVED, likely_variable_name
from .macro_names import first_of

LAYOUT_DIFFERS = "layout Fortran cannot reproduce"
COM_INTERFACE = "COM interface (use TYPE(C_PTR))"
_COM_NAME = re.compile(r"Vtbl$|VTBL$")
_POINTER_PREFIXES = ("LPC", "PC", "LP", "P")
_QUALIFIER = re.compile(r"\b(const|volatile)\b")


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


def c_names(catalog, typedefs, macros, chains=None):
    """{record key: [C names]}: the typedef names that name the record, the
    macros that stand for it ("#define RASENTRYA struct tagRASENTRYA",
    `macros` {name: body}), the typedefs that name one of those ("typedef
    RTL_CRITICAL_SECTION CRITICAL_SECTION"), and the macros that name one
    of those (`chains` {name: MacroName}: "#define LVITEM LVITEMA", "#define
    LV_ITEM LVITEM"), in that order."""
    names = {record.key: list(record.names) for record in catalog.in_order}
    owner = {n: key for key, found in names.items() for n in found}
    for name, body in sorted(macros.items()):
        record = catalog.by_text.get(body)
        if record is not None and name not in owner and name not in typedefs:
            names[record.key].append(name)
            owner[name] = record.key
            # C spells the record by the macro: "struct RASIPADDR" would
            # expand to "struct struct RASIPADDR".
            record.names.append(name)
    changed = True
    while changed:
        changed = False
        for name, text in typedefs.items():
            text = " ".join(_QUALIFIER.sub(" ", text).split())
            if name in owner or (text not in owner and text not in catalog.by_text):
                continue
            key = owner.get(text) or catalog.by_text[text].key
            if key in names:
                names[key].append(name)
                owner[name] = key
                changed = True
    for name, macro in sorted((chains or {}).items()):
        named = first_of(macro, owner)
        if named is not None and name not in owner and name not in typedefs:
            names[owner[named]].append(name)
            owner[name] = owner[named]
    return names


def spelled_names(catalog, typedefs, functions, owner):
    """{C name: how many prototype parameters spell it}: the record name a
    parameter's type names, through pointer typedefs that follow the
    headers' convention (LPCRITICAL_SECTION names CRITICAL_SECTION however
    it is declared) or say "X *"; `owner` {C name: record key}."""
    counts = {}
    for node in functions.values():
        for parameter in node.get("inner", []):
            if parameter.get("kind") != "ParmVarDecl":
                continue
            name = _spelled(parameter["type"]["qualType"], catalog, typedefs, owner)
            if name:
                counts[name] = counts.get(name, 0) + 1
    return counts


def _spelled(text, catalog, typedefs, owner):
    resolved = catalog.resolve(text)
    if resolved.form == "pointer":
        resolved = resolved.target
    if resolved.form != "record" or catalog.record_of(resolved) is None:
        return None
    key = catalog.record_of(resolved).key
    for _ in range(20):
        text = " ".join(_QUALIFIER.sub(" ", strip_attributes(text)).split())
        if text.endswith("*"):
            text = text[:-1].strip()
        if owner.get(text) == key:
            return text
        for prefix in _POINTER_PREFIXES:
            if text.startswith(prefix) and owner.get(text[len(prefix):]) == key:
                return text[len(prefix):]
        if text not in typedefs:
            return None
        text = typedefs[text]
    return None


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
    layout `checks` {Fortran name: [(C expression, value)]} that passed,
    `members` {record key: [record keys its members need]}, `aliases`
    {record key: [FType under another C name]}, `not_written` {record key:
    reason} and `names_left` {C name: (reason, Fortran name of its type)}:
    the C names of written types that name no type."""

    def __init__(self, unit, declarations, taken_names, macros=None,
                 functions=None, known=None, chains=None):
        self.catalog = RecordCatalog(declarations)
        self.types, self.records, self.checks = {}, {}, {}
        self.skipped = defaultdict(list)
        self.members, self.aliases, self.not_written = {}, {}, {}
        self.names_left = {}
        self.c_names = c_names(self.catalog, declarations.typedefs, macros or {},
                               chains)
        owner = {n: key for key, found in self.c_names.items() for n in found}
        self.spelled = spelled_names(self.catalog, declarations.typedefs,
                                     declarations.functions, owner)
        self.takers = self._takers(declarations, functions or {})
        names, alias_names = self._choose_names(taken_names, known or {})
        order = self._dependency_order(names)
        values = toolchain.evaluate_expressions(unit, [
            e for key in order for e in _probe_expressions(self.catalog.by_key[key])])
        builder = TypeBuilder(self.catalog, {}, taken_names | {
            n.upper() for n in names.values()} | {
            n.upper() for found in alias_names.values() for n in found})
        for key in order:
            record = self.catalog.by_key[key]
            builder.fortran_names[key] = names[key]
            try:
                self._settle(builder, record, values)
            except Untranslatable as problem:
                del builder.fortran_names[key]
                self.skipped[str(problem)].append(c_spelling(record))
                self.not_written[key] = self._why_not(record, str(problem))
        for key in builder.fortran_names:
            record = self.catalog.by_key[key]
            self.records[key] = record
            self.types[key] = builder.standalone(record)
            self.members[key] = [m.key for m in _member_records(self.catalog, record)]
            self.aliases[key] = [builder.standalone(record, alias)
                                 for alias in alias_names.get(key, [])]
            for alias in self.aliases[key]:
                # A tag is spelled with its keyword in C (struct tagSIZE).
                spelling = alias.name if alias.name != record.tag else \
                    "%s %s" % (record.kind, record.tag)
                self.checks[alias.name] = layout_checks(alias, spelling)

    def _why_not(self, record, reason):
        """The reason, with the member's own when the record holds a
        structure that is not written (CONTEXT holds an over-aligned M128A)."""
        if reason != "member of a structure not written":
            return reason
        for member in _member_records(self.catalog, record):
            if member.key in self.not_written:
                return "holds %s, %s" % (c_spelling(member),
                                         self.not_written[member.key])
        return reason

    def _takers(self, declarations, functions):
        """{record key: {upper-case name of a function that takes a pointer
        to it}} among `functions` {upper-case name: name}, the functions
        whose blocks are generic interfaces."""
        takers = defaultdict(set)
        for upper, name in functions.items():
            node = declarations.functions.get(name)
            for parameter in (node or {}).get("inner", []):
                if parameter.get("kind") != "ParmVarDecl":
                    continue
                ctype = self.catalog.resolve(parameter["type"]["qualType"])
                if ctype.form == "pointer" and ctype.target.form == "record":
                    record = self.catalog.record_of(ctype.target)
                    if record is not None:
                        takers[record.key].add(upper)
        return takers

    def named(self):
        """{C spelling: (Fortran name, [alias names])} of the written types,
        for another unit that holds the same C types (`known`)."""
        return {c_spelling(record): (self.types[key].name,
                                     [a.name for a in self.aliases[key]])
                for key, record in self.records.items()}

    def _choose_names(self, taken_names, known):
        """({record key: Fortran name}, {record key: [alias names]}).  A
        record that another unit names already (`known`) keeps those names.  The
        type's name is its first typedef name, unless the prototypes never
        spell that one but spell another C name of it (CRITICAL_SECTION,
        not RTL_CRITICAL_SECTION); its other C names, its tag among them
        (tagWNDCLASSA), become aliases.  A name
        may be that of a function taking the structure (a generic interface
        and a type may share a name), never that of another function, a
        constant, an intrinsic or a likely variable name: the next C name,
        or the tag, is taken instead (SIZE is an intrinsic: tagSIZE).  A
        type that shares its name with a function keeps its tag as an
        alias."""
        names, aliases, used = {}, {}, set()
        for record in self.catalog.in_order:
            if record.key in names or not (record.names or record.tag):
                continue
            if _is_handle_record(record):
                continue
            if _is_com_interface(record):
                self.skipped[COM_INTERFACE].append(c_spelling(record))
                self.not_written[record.key] = COM_INTERFACE
                continue
            if c_spelling(record) in known:
                names[record.key], aliases[record.key] = known[c_spelling(record)]
                used.update(n.upper() for n in [names[record.key]] + aliases[record.key])
                continue
            candidates = list(self.c_names.get(record.key, []))
            if candidates and not self.spelled.get(candidates[0]):
                candidates.sort(key=lambda n: -self.spelled.get(n, 0))
            choices = candidates + ([record.tag] if record.tag
                                    and record.tag not in candidates else [])
            fit, unfit = [], []
            for choice in choices:
                if choice.upper() in {n.upper() for n in fit}:
                    continue  # the same name to Fortran (in6_addr, IN6_ADDR)
                reason = self._unfit(choice, record, taken_names, used)
                if reason is None:
                    fit.append(choice)
                elif choice in candidates and FORTRAN_NAME.match(choice) \
                        and choice.upper() not in used:
                    unfit.append((choice, reason))
            if not fit:
                if choices and FORTRAN_NAME.match(choices[0]):
                    self.skipped["name taken by a constant, a function or "
                                 "an intrinsic"].append(c_spelling(record))
                continue
            names[record.key] = fit[0]
            aliases[record.key] = fit[1:]
            used.update(n.upper() for n in [fit[0]] + aliases[record.key])
            for choice, reason in unfit:
                self.names_left[choice] = (reason, fit[0])
        return names, aliases

    def _unfit(self, name, record, taken_names, used):
        """Why the name cannot name a type of the record, or None."""
        upper = name.upper()
        if not FORTRAN_NAME.match(name) or upper in used:
            return "not a Fortran name, or the name of another type"
        if likely_variable_name(name):
            return "a likely variable name"
        if upper in RESERVED:
            return "the name of a Fortran intrinsic"
        if upper in taken_names and upper not in self.takers.get(record.key, ()):
            return "the name of a function or a constant"
        return None

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
            raise Untranslatable(_layout_reason(builder, record, values))
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


def _layout_reason(builder, record, values):
    """Why a layout checked against the C compiler's cannot be written: the
    C type is aligned beyond or below its members' natural alignment
    (DECLSPEC_ALIGN, #pragma pack), or differs otherwise."""
    natural = builder.c_record_layout(record)[1]
    aligned = values.get("_Alignof(%s)" % c_spelling(record))
    if aligned is not None and aligned > natural:
        return "over-aligned (%d bytes)" % aligned
    if aligned is not None and aligned < natural:
        return "packed (%d-byte alignment)" % aligned
    return LAYOUT_DIFFERS
