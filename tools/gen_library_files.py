#!/usr/bin/env python3
"""Generates examples/: the FD and FI library files of the thirteen Win32
libraries and the master lists MASTERFD.LIS and MASTERFI.LIS, from the
mingw-w64 headers and import libraries installed on this machine, plus a
report of what could not be translated (tools/generator-report.txt).

    python3 tools/gen_library_files.py           write the files
    python3 tools/gen_library_files.py --check   compare, exit 1 on a difference

Both exit with 77 (skipped) or 2 when a needed cross tool is missing.
"""

import argparse
import filecmp
import os
import sys
import tempfile
from collections import Counter, defaultdict

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from libgen import constants as const  # noqa: E402
from libgen import toolchain  # noqa: E402
from libgen.c_types import Untranslatable  # noqa: E402
from libgen.derived_types import definition_lines, needed_types  # noqa: E402
from libgen.fortran_names import (FORTRAN_NAME, RESERVED,  # noqa: E402
                                  likely_variable_name)
from libgen.interfaces import (MAX_MIXED_POINTERS, MAX_SPECIFICS,  # noqa: E402
                               Structures, abstract_interface_lines,
                               interface_lines)
from libgen.libraries import (LIBRARIES, MAIN_UNIT, UNIT_SOURCES,  # noqa: E402
                              library_of_header)
from libgen.library_files import (FD_PREAMBLE, FI_PREAMBLE,  # noqa: E402
                                  block_order, layout_check_text,
                                  library_text, master_store_bytes,
                                  master_text, sort_key, version_line)
from libgen.resources import RESOURCE_ARGUMENTS, resource_arguments  # noqa: E402
from libgen.source_form import (comment_lines, parameter_lines,  # noqa: E402
                                string_parameter_lines)
from libgen.structures import UnitTypes  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(ROOT, "examples")
REPORT = os.path.join(ROOT, "tools", "generator-report.txt")
LAYOUT_CHECKS = os.path.join(ROOT, "tools", "testdata", "layout-checks.txt")

# The extractor's symbol table holds 50,000 names in 1,500,000 bytes; stay
# well inside both so that users can add their own entries.
MAX_MASTER_ENTRIES = 45000
MAX_MASTER_BYTES = 1300000


class Report:
    def __init__(self):
        self.lines = []
        self.skipped = defaultdict(list)     # reason -> [(library, name)]
        self.dropped = defaultdict(list)     # reason -> [name]
        self.unowned_headers = Counter()     # header -> names left out
        self.types_skipped = Counter()       # reason -> records
        self.callbacks_skipped = Counter()   # reason -> typedefs
        self.types_unplaced = 0              # records no library takes
        self.typed_functions = 0             # take a derived type
        self.typed_arguments = 0             # their derived-type arguments
        self.resource_functions = 0          # take a resource number
        self.interface_counts = Counter()    # what the generics take
        self.layout_checks = []   # (unit, type name, (C expr, value, measure))
        self.aliases = 0                     # types under another C name
        self.string_constants = 0
        self.byte_constants = []             # of byte members, C_INT8_T
        self.names_left = []                 # (C name, reason, type)
        self.not_written = []                # (library, C name, reason)

    def text(self):
        out = list(self.lines)
        for reason in sorted(self.skipped):
            entries = sorted(self.skipped[reason])
            out.append("")
            out.append("Functions not translated (%s): %d"
                       % (reason, len(entries)))
            out.extend("  %-9s %s" % entry for entry in entries)
        for title, counts in (("Structures and unions not written",
                               self.types_skipped),
                              ("Callback types not written",
                               self.callbacks_skipped)):
            out.append("")
            out.append("%s, by reason:" % title)
            out.extend("  %-62s %5d" % item for item in sorted(counts.items()))
        out.append("")
        out.append("Headers whose constant names belong to no library (not "
                   "evaluated), 50 or more names:")
        for header, count in sorted(self.unowned_headers.items()):
            if count >= 50:
                out.append("  %-28s %6d" % (header, count))
        for reason in sorted(self.dropped):
            names = sorted(self.dropped[reason], key=sort_key)
            out.append("")
            out.append("Constants left out (%s): %d" % (reason, len(names)))
            out.extend("  " + name for name in names)
        return "\n".join(out) + "\n"


def collect_exports():
    """{name: library index} of every export (the first library in table
    order that exports it), the per-library export sets, and their union."""
    owner, exported = {}, []
    for index, library in enumerate(LIBRARIES):
        names = toolchain.exported_functions(library.import_library)
        exported.append(names)
        for name in names:
            owner.setdefault(name, index)
    return owner, exported, set().union(*exported)


def classify_functions(owner, every_export, declarations, report):
    """The functions worth translating, [(name, library index)] in library
    order, and those only listed, {library index: {name: reason}}: the
    wide-character variants and, added later, what cannot be translated, so
    a program that names one hears of it in the not-found list."""
    attempted, listed, folded = [], defaultdict(dict), {}
    # Library order first, so that of two names differing only in case the
    # one of the earlier library is kept.
    for name in sorted(owner, key=lambda n: (owner[n],) + sort_key(n)):
        index = owner[name]
        library = LIBRARIES[index]
        reason = None
        if name.endswith("W") and name[:-1] + "A" in every_export:
            reason = "wide-character variant of an A function"
            listed[index][name] = "wide-character variant: use %sA" % name[:-1]
        elif not FORTRAN_NAME.match(name):
            reason = "not a Fortran name"
        elif name.upper() in folded:
            reason = "same name as %s apart from case" % folded[name.upper()]
        elif name not in declarations[library.unit].functions:
            reason = ("no prototype: unsuffixed alias of an A function"
                      if name + "A" in every_export
                      else "no prototype in the headers")
        if reason is None:
            attempted.append((name, index))
            folded[name.upper()] = name
        else:
            report.skipped[reason].append((library.name, name))
    return attempted, listed


def translate_functions(attempted, declarations, unit_types, listed, report):
    """{library index: {name: interface lines}}, with the records each
    library's interfaces take ({record key: first library index})."""
    blocks, used = defaultdict(dict), {}
    for name, index in attempted:
        library = LIBRARIES[index]
        declaration = declarations[library.unit].functions[name]
        types = unit_types[library.unit]
        structures = Structures(types.catalog, types.types)
        try:
            blocks[index][name] = interface_lines(
                name, declaration, declarations[library.unit].typedefs,
                structures, resource_arguments(name, declaration))
            for key in structures.taken:
                used.setdefault((library.unit, key), index)
            if structures.taken:
                report.typed_functions += 1
            report.typed_arguments += structures.typed_arguments
            report.interface_counts.update(
                scalar=structures.scalar_arguments,
                strings=structures.optional_strings,
                mixed=structures.mixed_specifics,
                mixed_functions=structures.mixed_specifics > 0,
                renamed=structures.renamed_arguments)
            if name in RESOURCE_ARGUMENTS:
                report.resource_functions += 1
        except Untranslatable as problem:
            report.skipped[str(problem)].append((library.name, name))
            listed[index][name] = "not translated: %s" % problem
    return blocks, used


def collect_callbacks(declarations, unit_types, taken, report):
    """{library index: {name: ABSTRACT INTERFACE lines}} for the function
    pointer typedefs of the libraries' headers."""
    blocks, used_names = defaultdict(dict), set()
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        typedefs = declarations[unit].typedefs
        types = unit_types[unit]
        for name, (node, header) in declarations[unit].typedef_nodes.items():
            target = _callback_target(name, typedefs)
            text = typedefs[target]
            index = library_of_header(header) if header else None
            if "(*)" not in text or index is None \
                    or LIBRARIES[index].unit != unit:
                continue
            if not FORTRAN_NAME.match(name) or name.upper() in taken \
                    or name.upper() in used_names:
                report.callbacks_skipped["name taken or not a Fortran name"] += 1
                continue
            try:
                blocks[index][name] = abstract_interface_lines(
                    name, text, typedefs, Structures(types.catalog, types.types),
                    toolchain.parameter_names(*declarations[unit].typedef_nodes[target]))
                used_names.add(name.upper())
            except Untranslatable as problem:
                report.callbacks_skipped[str(problem)] += 1
    return blocks


def _callback_target(name, typedefs):
    """The typedef that spells out the function pointer an alias names."""
    while "(*)" not in typedefs[name] and typedefs[name] in typedefs:
        name = typedefs[name]
    return name


def collect_types(unit_types, used, function_names, every_function, report):
    """({library index: {name: TYPE definition lines}}, {name: [names of
    the blocks it needs, the whole closure]}): the records of the
    libraries' headers, and those of other headers that a library's
    functions take (through their members too), each under its Fortran
    name and its other C names.  A block holds its own type only; the types
    it holds are blocks of their own, placed in the earliest library of
    any block that needs them, so the job meets every needed block first."""
    library_of, blocks, written, needs = {}, defaultdict(dict), set(), {}
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        types = unit_types[unit]
        owned = []
        for key, record in types.records.items():
            index = library_of_header(record.header) if record.header else None
            if index is not None:
                owned.append((index, key))
        # A structure's own header decides first; what holds it or the
        # functions that take it place only the rest.
        for index, key in owned:
            library_of[(unit, key)] = index
        for index, key in sorted(owned) + sorted(
                (index, key) for (u, key), index in used.items() if u == unit):
            stack = [key]
            while stack:
                current = stack.pop()
                if current not in types.types:
                    continue
                if (unit, current) not in library_of:
                    library_of[(unit, current)] = index
                elif current != key:
                    continue
                stack += types.members.get(current, [])
        for (u, key), index in sorted(library_of.items(), key=lambda e: e[1]):
            if u != unit:
                continue
            ftype = types.types[key]
            if ftype.name.upper() in written:
                continue
            record = types.records[key]
            origin = "%s of %s" % (" ".join(filter(None, (record.kind, record.tag)))
                                   if record.tag else "a %s" % record.kind,
                                   record.header)
            aliases = [a for a in types.aliases[key] if a.name.upper() not in written]
            for written_type in [ftype] + aliases:
                written.add(written_type.name.upper())
                if written_type is ftype:
                    text = "%s: %s.%s" % (ftype.name, origin, _type_remarks(
                        ftype.name, [a.name for a in aliases], types, key,
                        function_names, every_function))
                else:
                    text = ("%s: another C name of %s (%s). Fortran gives a type "
                            "one name: this is a type of its own with the same "
                            "members; the functions take TYPE(%s), or C_LOC of "
                            "this one." % (written_type.name, ftype.name, origin,
                                           ftype.name))
                blocks[index][written_type.name] = comment_lines(text) + \
                    definition_lines(written_type, held=False)
                needs[written_type.name] = needed_types(written_type)
                report.layout_checks += [
                    (unit, written_type.name, check)
                    for check in types.checks[written_type.name]]
            report.aliases += len(aliases)
        for reason, names in types.skipped.items():
            report.types_skipped[reason] += len(names)
        report.types_unplaced += sum(
            1 for key in types.types if (unit, key) not in library_of)
    _place_needed_blocks(blocks, needs)
    return blocks, _closures(blocks, needs)


def _type_remarks(name, aliases, types, key, function_names, every_function):
    """What a type's block comment says about its names: the C names it is
    also written under, the function it shares its name with, and the C
    names that name no type."""
    remarks = []
    if aliases:
        remarks.append(" Also written as %s (other C names, types of their "
                       "own)." % ", ".join(aliases))
    if name.upper() in function_names:
        remarks.append(" %s shares its name with the generic interface %s, "
                       "which takes it (Fortran lets a type and a generic "
                       "share a name): naming either copies both blocks."
                       % (name, function_names[name.upper()]))
    for c_name in types.c_names.get(key, []):
        if c_name in types.names_left:
            remarks.append(" %s is not a type name here (%s): write TYPE(%s)."
                           % (c_name, _name_reason(
                               c_name, types.names_left[c_name][0],
                               every_function), name))
    return "".join(remarks)


def _name_reason(c_name, reason, function_names):
    """Why a C name names no type, naming the function it belongs to."""
    if c_name.upper() in function_names:
        return "%s is a function" % function_names[c_name.upper()]
    return reason


def _place_needed_blocks(blocks, needs):
    """Moves every needed block to the earliest library of a block that
    needs it, until none is met after a block that needs it."""
    library_of = {name: index for index, found in blocks.items() for name in found}
    moved = True
    while moved:
        moved = False
        for name, needed in needs.items():
            for other in needed:
                if library_of[other] > library_of[name]:
                    blocks[library_of[name]][other] = \
                        blocks[library_of[other]].pop(other)
                    library_of[other] = library_of[name]
                    moved = True


def _closures(blocks, needs):
    """{name: every block it needs, directly or not, in the job's walk
    order} for the blocks that need any."""
    position = {}
    for index in sorted(blocks):
        for name in block_order(blocks[index], needs):
            position[name] = len(position)
    closures = {}
    for name in needs:
        found, stack = set(), list(needs[name])
        while stack:
            other = stack.pop()
            if other not in found:
                found.add(other)
                stack += needs.get(other, [])
        if found:
            closures[name] = sorted(found, key=position.get)
    return closures


def collect_constants(function_names, preprocessed_units, report):
    """{library index: {name: PARAMETER lines}}: integer constants and
    string constants."""
    found, unowned, strings = {}, Counter(), {}
    for unit in sorted(UNIT_SOURCES):
        preprocessed = preprocessed_units[unit]
        for name, (header, text) in const.string_macros(preprocessed).items():
            index = library_of_header(header)
            if index is not None and LIBRARIES[index].unit == unit:
                strings.setdefault(name, (index, text))
        names = const.enumerator_candidates(preprocessed)
        for name, headers in const.macro_candidates(preprocessed).items():
            names.setdefault(name, set()).update(headers)
        candidates = const.assign_libraries(names)
        if unit == MAIN_UNIT:
            for name in set(names) - set(candidates):
                unowned[min(names[name])] += 1
        candidates = {n: library for n, library in candidates.items()
                      if LIBRARIES[library].unit == unit}
        probes = toolchain.evaluate_constants(unit, sorted(candidates))
        for name in sorted(probes):
            constant = const.make_constant(name, candidates[name],
                                           probes[name])
            if constant is not None:
                found.setdefault(name, constant)

    report.unowned_headers = unowned
    taken_by_functions = {n.upper(): n for n in function_names}
    kept, blocks = {}, defaultdict(dict)
    ordered = sorted(found.values(), key=lambda c: (c.library,) + sort_key(c.name))
    ordered += sorted((const.Constant(name, index, "C_CHAR", text)
                       for name, (index, text) in strings.items()
                       if name not in found),
                      key=lambda c: (c.library,) + sort_key(c.name))
    for constant in ordered:
        upper = constant.name.upper()
        if not FORTRAN_NAME.match(constant.name):
            report.dropped["longer than a Fortran name may be"].append(constant.name)
        elif upper in RESERVED:
            report.dropped["name of a Fortran intrinsic"].append(constant.name)
        elif upper in taken_by_functions:
            report.dropped["same name as a function"].append(constant.name)
        elif likely_variable_name(constant.name):
            report.dropped["a likely variable name"].append(constant.name)
        elif upper in kept:
            report.dropped["same name as another constant apart from case"]\
                .append(constant.name)
        else:
            kept[upper] = constant
            if constant.kind == "C_CHAR":
                report.string_constants += 1
                blocks[constant.library][constant.name] = string_parameter_lines(
                    constant.name, constant.value)
                continue
            lines = parameter_lines(constant.name, constant.kind, constant.value)
            if constant.kind == "C_INT8_T" and const.byte_member_constant(
                    constant.name, constant.value & 0xFF):
                report.byte_constants.append(constant.name)
                lines = comment_lines(
                    "%d in C, held as its bit pattern in a byte, for the BYTE "
                    "members such as LOGFONTA%%lfCharSet." % (
                        constant.value & 0xFF)) + lines
            blocks[constant.library][constant.name] = lines
    return blocks


def collect_type_notes(attempted, declarations, unit_types, type_blocks, taken,
                       fd_names, function_names, report):
    """{library index: {C name: reason}}: the structures that translated
    functions take and that are not written ("not written: packed ..."), in
    the library of their header or else of the first such function; and
    the C names of written types that are function names, which name no
    type (their reason says which type to write).  The master list lists
    them all, so the report names them when a program uses one."""
    notes, placed = defaultdict(dict), set(taken)
    for name, index in attempted:
        library = LIBRARIES[index]
        types = unit_types[library.unit]
        for parameter in declarations[library.unit].functions[name].get("inner", []):
            if parameter.get("kind") != "ParmVarDecl":
                continue
            ctype = types.catalog.resolve(parameter["type"]["qualType"])
            if ctype.form != "pointer" or ctype.target.form != "record":
                continue
            record = types.catalog.record_of(ctype.target)
            if record is None or record.key not in types.not_written:
                continue
            c_name = (types.c_names.get(record.key) or [record.tag])[0]
            header_index = library_of_header(record.header) if record.header else None
            where = index if header_index is None else header_index
            if c_name and FORTRAN_NAME.match(c_name) \
                    and c_name.upper() not in placed:
                placed.add(c_name.upper())
                reason = types.not_written[record.key]
                notes[where][c_name] = "not written: " + reason
                report.not_written.append((LIBRARIES[where].name, c_name, reason))
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        types = unit_types[unit]
        for c_name, (reason, type_name) in sorted(types.names_left.items()):
            index = next((i for i, b in type_blocks.items() if type_name in b), None)
            if index is None or (c_name, reason, type_name) in report.names_left:
                continue
            reason = _name_reason(c_name, reason, function_names)
            report.names_left.append((c_name, reason, type_name))
            # A function's name: listed, so that the report names it.
            if c_name.upper() in function_names and c_name.upper() not in fd_names:
                fd_names.add(c_name.upper())
                notes[index][c_name] = "not a type: %s; write TYPE(%s)" % (
                    reason, type_name)
    return notes


def generate(examples_dir, report_path, layout_path):
    report = Report()
    owner, exported, every_export = collect_exports()
    wanted_by_unit = defaultdict(set)
    for name, index in owner.items():
        wanted_by_unit[LIBRARIES[index].unit].add(name)
    declarations = {unit: toolchain.function_declarations(unit, wanted_by_unit[unit])
                    for unit in sorted(UNIT_SOURCES)}
    attempted, listed = classify_functions(owner, every_export, declarations,
                                           report)
    preprocessed = {unit: toolchain.preprocess_with_defines(unit)
                    for unit in sorted(UNIT_SOURCES)}
    constant_blocks = collect_constants([n for n, _ in attempted], preprocessed,
                                        report)
    taken = set(RESERVED) | {n.upper() for n, _ in attempted} | {
        n.upper() for b in constant_blocks.values() for n in b} | {
        n.upper() for b in listed.values() for n in b}
    function_names = {n.upper(): n for n, _ in attempted}
    every_function = dict(function_names, **{
        n.upper(): n for b in listed.values() for n in b})
    # The main unit first: the others name the C types they share with it
    # as it does.
    unit_types, known = {}, {}
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        unit_types[unit] = UnitTypes(
            unit, declarations[unit], taken,
            const.record_macros(preprocessed[unit]),
            {n.upper(): n for n, index in attempted
             if LIBRARIES[index].unit == unit}, known)
        known.update(unit_types[unit].named())
    function_blocks, used = translate_functions(attempted, declarations,
                                                unit_types, listed, report)
    type_blocks, needs = collect_types(unit_types, used, function_names,
                                       every_function, report)
    taken |= {n.upper() for b in type_blocks.values() for n in b}
    type_notes = collect_type_notes(
        attempted, declarations, unit_types, type_blocks, taken,
        {n.upper() for b in list(constant_blocks.values()) + list(
            type_blocks.values()) for n in b}, every_function, report)
    callback_blocks = collect_callbacks(declarations, unit_types, taken, report)
    version = version_line(toolchain.headers_version())

    fi_entries, fd_entries = [], []
    report.lines.append("Functions an import library exports belong to the first library")
    report.lines.append("in table order that exports them (\"earlier\" counts those taken")
    report.lines.append("by an earlier library); constants, structure types and callback")
    report.lines.append("types to the first library owning one of their defining headers;")
    report.lines.append("a structure of another header to the first library whose")
    report.lines.append("functions take it.")
    report.lines.append("")
    report.lines.append("Library   exported earlier translated skipped constants "
                        "types callbacks")
    for index, library in enumerate(LIBRARIES):
        dll = library.import_library + ".dll"
        functions = function_blocks.get(index, {})
        fi = dict(functions, **callback_blocks.get(index, {}))
        constants = constant_blocks.get(index, {})
        fd = dict(constants, **type_blocks.get(index, {}))
        only_listed = listed.get(index, {})
        fd_notes = type_notes.get(index, {})
        for kind, preamble, blocks, notes in (
                ("FI", FI_PREAMBLE, fi, only_listed), ("FD", FD_PREAMBLE, fd, fd_notes)):
            path = os.path.join(examples_dir, "%s.%s" % (library.name, kind))
            with open(path, "w", newline="") as out:
                out.write(library_text(preamble, library.name, dll, blocks, notes,
                                       needs, "MASTER%s.LIS" % kind, version))
        fi_entries += [(n, library.name) for n in sorted(
            list(fi) + list(only_listed), key=sort_key)]
        fd_entries += [(n, library.name) for n in sorted(
            list(fd) + list(fd_notes), key=sort_key)]
        assigned = sum(1 for n in owner if owner[n] == index)
        report.lines.append("%-9s %8d %7d %10d %7d %9d %5d %9d" % (
            library.name, len(exported[index]), len(exported[index]) - assigned,
            len(functions), assigned - len(functions), len(constants),
            len(type_blocks.get(index, {})), len(callback_blocks.get(index, {}))))

    for file_name, entries, entry_needs in (("MASTERFI.LIS", fi_entries, {}),
                                            ("MASTERFD.LIS", fd_entries, needs)):
        size = master_store_bytes(entries, entry_needs)
        lines = len(entries) + sum(len(n) for n in entry_needs.values())
        if lines > MAX_MASTER_ENTRIES or size > MAX_MASTER_BYTES:
            raise SystemExit("%s too large: %d lines, %d bytes"
                             % (file_name, lines, size))
        with open(os.path.join(examples_dir, file_name), "w", newline="") as out:
            out.write(master_text(entries, entry_needs))
        report.lines.append("%s: %d entries, %d needs lines for %d entries, %d "
                            "bytes of symbol store" % (
                                file_name, len(entries), lines - len(entries),
                                len(entry_needs), size))
    reasons = Counter({r: len(v) for r, v in report.skipped.items()})
    report.lines.append("Skipped functions by reason: " + ", ".join(
        "%s %d" % item for item in sorted(reasons.items())))
    report.lines.append(
        "Functions taking a derived type: %d (%d arguments); taking a "
        "resource number: %d; listed without a block: %d; abstract "
        "interfaces: %d" % (
            report.typed_functions, report.typed_arguments,
            report.resource_functions,
            sum(len(b) for b in listed.values()),
            sum(len(b) for b in callback_blocks.values())))
    counts = report.interface_counts
    report.lines.append(
        "Pointers to scalars taken by reference: %d; scalar strings that may "
        "be left out: %d; specifics mixing C_PTR and typed arguments: %d (%d "
        "functions; up to %d arguments mixed, %d specifics); C parameter names "
        "kept in another spelling: %d" % (
            counts["scalar"], counts["strings"], counts["mixed"],
            counts["mixed_functions"], MAX_MIXED_POINTERS, MAX_SPECIFICS,
            counts["renamed"]))
    report.lines.append(
        "Derived types: %d, with %d layout checks; structures of other headers "
        "that no function takes, not written: %d" % (
            sum(len(b) for b in type_blocks.values()), len(report.layout_checks),
            report.types_unplaced))
    report.lines.append(
        "Types under another C name of theirs: %d; string constants: %d; "
        "constants of byte members written as C_INT8_T: %d (%s)" % (
            report.aliases, report.string_constants, len(report.byte_constants),
            ", ".join(sorted(report.byte_constants))))
    report.lines.append("C names that name no type:")
    report.lines.extend("  %-32s %s: write TYPE(%s)" % entry
                        for entry in sorted(report.names_left))
    report.lines.append("Structures that functions take, not written:")
    report.lines.extend("  %-9s %-32s %s" % entry
                        for entry in sorted(report.not_written))
    with open(report_path, "w") as out:
        out.write(report.text())
    with open(layout_path, "w") as out:
        out.write(layout_check_text(report.layout_checks))
    return ["%s.%s" % (lib.name, kind) for lib in LIBRARIES
            for kind in ("FD", "FI")] + ["MASTERFD.LIS", "MASTERFI.LIS"]


def check():
    """Generates into a scratch directory and compares with the committed
    files; returns the names that differ."""
    with tempfile.TemporaryDirectory() as scratch:
        fresh_report = os.path.join(scratch, "generator-report.txt")
        fresh_layout = os.path.join(scratch, "layout-checks.txt")
        names = generate(scratch, fresh_report, fresh_layout)
        pairs = [(os.path.join(scratch, n), os.path.join(EXAMPLES, n), n)
                 for n in names]
        pairs.append((fresh_report, REPORT, "tools/generator-report.txt"))
        pairs.append((fresh_layout, LAYOUT_CHECKS,
                      "tools/testdata/layout-checks.txt"))
        return [label for fresh, committed, label in pairs
                if not os.path.exists(committed)
                or not filecmp.cmp(fresh, committed, shallow=False)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="exit 1 when the committed files differ from a "
                             "fresh generation")
    arguments = parser.parse_args()
    missing = toolchain.missing_tools()
    if missing:
        print("skipped: not installed: " + ", ".join(missing))
        return 77 if arguments.check else 2
    if arguments.check:
        differing = check()
        for name in differing:
            print("differs: " + name)
        return 1 if differing else 0
    generate(EXAMPLES, REPORT, LAYOUT_CHECKS)
    return 0


if __name__ == "__main__":
    sys.exit(main())
