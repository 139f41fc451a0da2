"""What the generator's phases found, as records, and the report text
(libgen/generator-report.txt) built from them once every phase has run."""

import statistics
from collections import Counter, defaultdict
from dataclasses import dataclass, field

from .library_files import sort_key
from .generics import MAX_SPECIFICS, MAX_UNITS


@dataclass
class FunctionFindings:
    """The functions left out and what the translated ones take."""
    skipped: dict = field(default_factory=lambda: defaultdict(list))
    # reason -> [(library, name)]
    typed_functions: int = 0      # take a derived type
    typed_arguments: int = 0      # their derived-type arguments
    resource_functions: int = 0   # take a resource number
    wide_twins: int = 0           # W functions with an A twin, translated
    interface_counts: Counter = field(default_factory=Counter)
    specifics: list = field(default_factory=list)  # (count, name) of generics
    other_name_specifics: int = 0  # in the blocks of other C names
    type_names: set = field(default_factory=set)  # of structures taken


@dataclass
class ConstantFindings:
    """The constants left out and the kinds of those written."""
    unowned_headers: Counter = field(default_factory=Counter)
    # header -> names left out
    dropped: dict = field(default_factory=lambda: defaultdict(list))
    # reason -> [name]
    string_constants: int = 0
    string_aliases: Counter = field(default_factory=Counter)  # by neutral
    aliases_taken: list = field(default_factory=list)  # (name, constant)
    byte_constants: list = field(default_factory=list)  # of byte members


@dataclass
class TypeFindings:
    """The records written, left out and checked against the C layout."""
    layout_checks: list = field(default_factory=list)
    # (unit, type name, (C expr, value, measure))
    aliases: int = 0                 # types under another C name
    types_skipped: Counter = field(default_factory=Counter)  # reason -> records
    types_unplaced: int = 0          # records no library takes


@dataclass
class NoteFindings:
    """The C names listed without a block."""
    names_left: list = field(default_factory=list)   # (C name, reason, type)
    not_written: list = field(default_factory=list)  # (library, C name, reason)


@dataclass
class AliasFindings:
    """The other C names of functions, types, callback types and string
    constants that have blocks (counts by neutral: True for the names that
    stand for an A form when UNICODE is not defined), and those whose name
    is taken already."""
    functions: Counter = field(default_factory=Counter)
    callbacks: Counter = field(default_factory=Counter)
    names_taken: list = field(default_factory=list)  # (name, what it names)
    renamed_callbacks: list = field(default_factory=list)  # (C, Fortran)


@dataclass
class LibraryCounts:
    """One library's row of the report's table."""
    name: str
    exported: int
    earlier: int
    translated: int
    skipped: int
    constants: int
    types: int
    callbacks: int


@dataclass
class MasterCounts:
    """One master list's size."""
    file_name: str
    entries: int
    needs_lines: int
    needing_entries: int
    store_bytes: int


@dataclass
class Findings:
    """Everything the report states."""
    functions: FunctionFindings
    constants: ConstantFindings
    types: TypeFindings
    notes: NoteFindings
    aliases: AliasFindings
    callbacks_skipped: Counter       # reason -> typedefs
    libraries: list                  # [LibraryCounts]
    masters: list                    # [MasterCounts]
    listed_only: int                 # functions listed without a block
    abstract_interfaces: int
    derived_types: int
    macros: object = None            # MacroFindings
    guids: Counter = field(default_factory=Counter)  # family -> constants


def report_text(found):
    """The report: the library table and totals, then what was left out
    by reason, each list sorted."""
    functions, constants, types = found.functions, found.constants, found.types
    out = [
        "Functions an import library exports belong to the first library",
        "in table order that exports them (\"earlier\" counts those taken",
        "by an earlier library); constants, structure types and callback",
        "types to the first library owning one of their defining headers;",
        "a structure of another header to the first library whose",
        "functions take it.",
        "",
        "Library   exported earlier translated skipped constants types callbacks"]
    out += ["%-9s %8d %7d %10d %7d %9d %5d %9d" % (
        row.name, row.exported, row.earlier, row.translated, row.skipped,
        row.constants, row.types, row.callbacks) for row in found.libraries]
    out += ["%s: %d entries, %d needs lines for %d entries, %d bytes of symbol "
            "store" % (row.file_name, row.entries, row.needs_lines,
                       row.needing_entries, row.store_bytes)
            for row in found.masters]
    reasons = Counter({r: len(v) for r, v in functions.skipped.items()})
    out.append("Skipped functions by reason: " + ", ".join(
        "%s %d" % item for item in sorted(reasons.items())))
    out.append(
        "Functions taking a derived type: %d (%d arguments); taking a "
        "resource number: %d; listed without a block: %d; abstract "
        "interfaces: %d; W functions with an A twin translated: %d" % (
            functions.typed_functions, functions.typed_arguments,
            functions.resource_functions, found.listed_only,
            found.abstract_interfaces, functions.wide_twins))
    counts = functions.interface_counts
    out.append(
        "Pointers to scalars taken by reference: %d; names of structures the "
        "functions take: %d (other C names at structure arguments: %d); "
        "narrow integers by value taking a default INTEGER: %d; reserved "
        "arguments taking C_NULL_PTR: %d; C parameter names kept in another "
        "spelling: %d" % (
            counts["scalar"], len(functions.type_names), counts["other_names"],
            counts["narrow"], counts["reserved"], counts["renamed"]))
    sizes = sorted(functions.specifics)
    if sizes:
        out.append(
            "Generic interfaces: %d, with %d specifics (median %g, largest %d: "
            "%s; at most %d), and %d more in the blocks of other C names of "
            "structures; C_NULL_PTR in any combination: %d functions, in "
            "units of one C type (at most %d units): %d functions" % (
                len(sizes), sum(n for n, _ in sizes),
                statistics.median(n for n, _ in sizes), sizes[-1][0],
                sizes[-1][1], MAX_SPECIFICS, functions.other_name_specifics,
                counts["any_combination"], MAX_UNITS, counts["grouped"]))
    out.append(
        "Derived types: %d, with %d layout checks; structures of other headers "
        "that no function takes, not written: %d" % (
            found.derived_types, len(types.layout_checks), types.types_unplaced))
    out.append(
        "Types under another C name of theirs: %d; string constants: %d; "
        "constants of byte members written as C_INT8_T: %d (%s)" % (
            types.aliases, constants.string_constants,
            len(constants.byte_constants),
            ", ".join(sorted(constants.byte_constants))))
    aliases = found.aliases
    out.append(
        "Functions under another C name: %d neutral names (C's names of A "
        "functions when UNICODE is not defined), %d other names" % (
            aliases.functions[True], aliases.functions[False]))
    out.append(
        "String constants under another C name: %d neutral names, %d other "
        "names" % (constants.string_aliases[True], constants.string_aliases[False]))
    out.append(
        "Callback types under a macro's name: %d neutral names, %d other names"
        % (aliases.callbacks[True], aliases.callbacks[False]))
    if found.macros is not None:
        out.append(
            "Function-like macros as functions of libpareskit.a: %d (%s), "
            "%d C functions" % (
                sum(found.macros.written.values()), ", ".join(
                    "%s %d" % item for item in sorted(found.macros.written.items())),
                found.macros.wrappers))
    if found.guids:
        out.append("GUID and structure constants: %d (%s)" % (
            sum(found.guids.values()), ", ".join(
                "%s %d" % item for item in sorted(found.guids.items()))))
    out.append("C names that name no type:")
    out.extend("  %-32s %s: write TYPE(%s)" % entry
               for entry in sorted(found.notes.names_left))
    out.append("Structures that functions take or the libraries' headers "
               "define, not written:")
    out.extend("  %-9s %-32s %s" % entry
               for entry in sorted(found.notes.not_written))
    for reason in sorted(functions.skipped):
        entries = sorted(functions.skipped[reason])
        out.append("")
        out.append("Functions not translated (%s): %d" % (reason, len(entries)))
        out.extend("  %-9s %s" % entry for entry in entries)
    for title, counts in (("Structures and unions not written",
                           types.types_skipped),
                          ("Callback types not written",
                           found.callbacks_skipped)):
        out.append("")
        out.append("%s, by reason:" % title)
        out.extend("  %-62s %5d" % item for item in sorted(counts.items()))
    out.append("")
    out.append("Headers whose constant names belong to no library (not "
               "evaluated), 50 or more names:")
    for header, count in sorted(constants.unowned_headers.items()):
        if count >= 50:
            out.append("  %-28s %6d" % (header, count))
    out.append("")
    out.append("Other C names left out (the name is a symbol already): %d"
               % len(aliases.names_taken + constants.aliases_taken))
    out.extend("  %-40s %s" % entry for entry in sorted(
        aliases.names_taken + constants.aliases_taken))
    out.append("")
    out.append("Callback types renamed (a program names its own procedures "
               "as the type): %d" % len(aliases.renamed_callbacks))
    out.extend("  %-40s %s" % entry for entry in sorted(aliases.renamed_callbacks))
    if found.macros is not None:
        for reason in sorted(found.macros.skipped):
            names = found.macros.skipped[reason]
            out.append("")
            out.append("Macros left out (%s): %d" % (reason, len(names)))
            out.extend("  " + name for name in names)
    for reason in sorted(constants.dropped):
        names = sorted(constants.dropped[reason], key=sort_key)
        out.append("")
        out.append("Constants left out (%s): %d" % (reason, len(names)))
        out.extend("  " + name for name in names)
    return "\n".join(out) + "\n"
