"""The generator's pipeline: the phases that read the mingw-w64 headers and
import libraries and return what they make and what they found, then the
library files, the master lists, the report and the layout checks written
from those records."""

import filecmp
import os
import tempfile
from collections import Counter, defaultdict

from . import constants as const
from . import toolchain
from .alias_blocks import (alias_remark, extension_forwarding_lines, forwarding_lines,
                           generic_specifics)
from .c_types import Untranslatable
from .derived_types import definition_lines, needed_types
from .fortran_names import (FORTRAN_NAME, RESERVED, callback_name,
                            everyday_word, likely_variable_name)
from .interfaces import Structures, abstract_interface_lines, interface_lines
from .libraries import LIBRARIES, MAIN_UNIT, UNIT_SOURCES, library_of_header
from .guids import collect_structure_constants
from .macro_names import first_of, macro_chains, macro_names
from .macros import c_source, collect_macros
from .library_files import (FD_PREAMBLE, FI_PREAMBLE, block_order,
                            layout_check_text, library_text,
                            master_store_bytes, master_text, sort_key,
                            version_line)
from .report import (AliasFindings, ConstantFindings, Findings,
                     FunctionFindings, LibraryCounts, MasterCounts,
                     NoteFindings, TypeFindings, report_text)
from .resources import resource_arguments
from .generics import is_neutral_name
from .source_form import comment_lines, parameter_lines, string_parameter_lines
from .structures import UnitTypes

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(ROOT, "examples")
REPORT = os.path.join(ROOT, "libgen", "generator-report.txt")
LAYOUT_CHECKS = os.path.join(ROOT, "tests", "layout", "testdata",
                             "layout-checks.txt")

# The extractor's symbol table holds 50,000 names in 1,500,000 bytes; stay
# well inside both so that users can add their own entries.
MAX_MASTER_ENTRIES = 45000
MAX_MASTER_BYTES = 1300000
# The folder of examples/ that holds the support library's C source.
SUPPORT_FOLDER = "libpareskit"


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


def classify_functions(owner, every_export, declarations):
    """The functions worth translating, [(name, library index)] in library
    order, the wide-character (W) variants as well as their A twins; those
    only listed, {library index: {name: reason}}: the W variants without a
    prototype, which earlier library sets listed, and, added later, what
    cannot be translated, so a program that names one hears of it in the
    not-found list; and those left out, {reason: [(library, name)]}."""
    attempted, listed, folded = [], defaultdict(dict), {}
    skipped = defaultdict(list)
    # Library order first, so that of two names differing only in case the
    # one of the earlier library is kept.
    for name in sorted(owner, key=lambda n: (owner[n],) + sort_key(n)):
        index = owner[name]
        library = LIBRARIES[index]
        reason = None
        if not FORTRAN_NAME.match(name):
            reason = "not a Fortran name"
        elif name.upper() in folded:
            reason = "same name as %s apart from case" % folded[name.upper()]
        elif name not in declarations[library.unit].functions:
            reason = ("no prototype: unsuffixed alias of an A function"
                      if name + "A" in every_export
                      else "no prototype in the headers")
            if name.endswith("W") and name[:-1] + "A" in every_export:
                listed[index][name] = "not translated: %s" % reason
        if reason is None:
            attempted.append((name, index))
            folded[name.upper()] = name
        else:
            skipped[reason].append((library.name, name))
    return attempted, listed, skipped


def translate_functions(attempted, declarations, unit_types):
    """{library index: {name: interface lines}}; the records each
    library's interfaces take, {record key: first library index}; the
    functions that cannot be translated, only listed, {library index:
    {name: reason}}; the FunctionFindings of the translation; and the
    specifics that other C names of structures add to the generics,
    {C name: [interface lines]} in function order."""
    blocks, used, found = defaultdict(dict), {}, FunctionFindings()
    untranslated, extensions = defaultdict(dict), defaultdict(list)
    for name, index in attempted:
        library = LIBRARIES[index]
        declaration = declarations[library.unit].functions[name]
        types = unit_types[library.unit]
        structures = Structures(types.catalog, types.types, types.aliases)
        resources = resource_arguments(name, declaration)
        try:
            blocks[index][name] = interface_lines(
                name, declaration, declarations[library.unit].typedefs,
                structures, resources)
            for key in structures.taken:
                used.setdefault((library.unit, key), index)
            for other, lines in structures.extensions.items():
                extensions[other].append(lines)
            found.type_names.update(structures.type_names)
            if structures.taken:
                found.typed_functions += 1
            found.typed_arguments += structures.typed_arguments
            arrangement = structures.arrangement
            generic = len(arrangement.specifics) > 1
            found.interface_counts.update(
                scalar=structures.scalar_arguments,
                renamed=structures.renamed_arguments,
                narrow=structures.narrow_arguments,
                other_names=structures.other_names,
                reserved=len(arrangement.reserved),
                any_combination=bool(arrangement.units)
                and arrangement.in_any_combination(),
                grouped=not arrangement.in_any_combination())
            if generic:
                found.specifics.append((len(arrangement.specifics), name))
            if resources:
                found.resource_functions += 1
        except Untranslatable as problem:
            found.skipped[str(problem)].append((library.name, name))
            untranslated[index][name] = "not translated: %s" % problem
    return blocks, used, untranslated, found, extensions


def other_name_blocks(extensions, type_blocks, taken, other_names):
    """{library index: {C name: lines}}: for each other C name of a
    structure that has a type block, a block of that name in the FI file
    of the same library holding the specifics it adds to the generics of
    the functions taking it and of those functions' other names
    (`other_names` {function: [other names]}), so that a program naming
    the type gets them and no other program pays for them; the number of
    specifics added.  A name already taken by a block of the FI files has
    none."""
    library_of = {name: index for index, found in type_blocks.items()
                  for name in found}
    blocks, added = defaultdict(dict), 0
    for name in sorted(extensions, key=sort_key):
        index = library_of.get(name)
        if index is None or name.upper() in taken:
            continue
        lines = comment_lines(
            "%s: the functions taking the structure it names take TYPE(%s) as "
            "well, with every other argument given: the specifics below extend "
            "their generics and those of their other names." % (name, name))
        for chunk in extensions[name]:
            lines += chunk + extension_forwarding_lines(chunk, other_names)
            added += sum(1 for line in chunk if " END FUNCTION " in line
                         or " END SUBROUTINE " in line)
        blocks[index][name] = lines
    return blocks, added


def other_names(alias_needs):
    """{function: [its other names, in order]} of the other names that are
    generics of a function's specifics (`alias_needs` {other name: [the
    function]})."""
    found = defaultdict(list)
    for name, (target,) in sorted(alias_needs.items(), key=lambda i: sort_key(i[0])):
        found[target].append(name)
    return found


def function_alias_names(macros, attempted):
    """The names of the functions' other C names: the constants give way to
    them as to the functions' own."""
    index_of = dict(attempted)
    return sorted({name for unit in macros for name, macro in macros[unit].items()
                   if first_of(macro, index_of) and FORTRAN_NAME.match(name)})


def collect_function_aliases(macros, attempted, blocks, listed, declarations,
                             unit_types, taken, type_names, found):
    """The blocks of the functions' other C names (`macros` {unit: {name:
    MacroName}}): {library index: {name: lines}}, in the library of the
    function they name; {name: [the block it needs]} for those that are
    generics of that function's specifics; {library index: {name:
    reason}} for the names of functions listed without a block; they are
    counted into `found` (AliasFindings).  A name that is a symbol already
    keeps its meaning, but for a type's name (`type_names`), which a
    generic may share."""
    index_of = dict(attempted)
    found_blocks, needs, found_listed = defaultdict(dict), {}, defaultdict(dict)
    placed = set()
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        for name, macro in sorted(macros[unit].items()):
            target = first_of(macro, index_of)
            if target is None or LIBRARIES[index_of[target]].unit != unit:
                continue
            index, upper = index_of[target], name.upper()
            lines = blocks[index].get(target)
            specifics = generic_specifics(lines or [])
            if upper in placed:
                continue  # named in an earlier unit
            if not FORTRAN_NAME.match(name) or (
                    upper in taken and not (specifics and upper in type_names)):
                found.names_taken.append((name, target))
                continue
            placed.add(upper)
            remark = alias_remark(target, macro.neutral)
            found.functions[macro.neutral] += 1
            if lines is None:
                found_listed[index][name] = "%s; %s" % (
                    remark, listed[index][target])
            elif specifics:
                found_blocks[index][name] = forwarding_lines(name, specifics, remark)
                needs[name] = [target]
            else:
                declaration = declarations[unit].functions[target]
                types = unit_types[unit]
                found_blocks[index][name] = comment_lines(
                    "%s: %s." % (name, remark)) + interface_lines(
                    name, declaration, declarations[unit].typedefs,
                    Structures(types.catalog, types.types),
                    resource_arguments(target, declaration), target)
    return found_blocks, needs, found_listed


def collect_callbacks(declarations, unit_types, taken, macros, found):
    """{library index: {name: ABSTRACT INTERFACE lines}} for the function
    pointer typedefs of the libraries' headers and the macros that name
    one (`macros` {unit: {name: MacroName}}: CALINFO_ENUMPROC), each under
    its Fortran name (callback_name: WNDPROC_INTERFACE for WNDPROC), and
    {reason: typedefs} of those left out; the names renamed and those of
    macros go into `found` (AliasFindings)."""
    blocks, used_names, skipped = defaultdict(dict), set(), Counter()
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        typedefs = declarations[unit].typedefs
        types = unit_types[unit]
        entries = [(name, header, name, None) for name, (_, header)
                   in declarations[unit].typedef_nodes.items()]
        for name, macro in sorted(macros[unit].items()):
            typedef = first_of(macro, typedefs)
            if typedef is not None and name not in typedefs:
                entries.append((name, macro.header, typedef, macro))
        for name, header, typedef, macro in entries:
            target = _callback_target(typedef, typedefs)
            text = typedefs[target]
            index = library_of_header(header) if header else None
            if "(*)" not in text or index is None \
                    or LIBRARIES[index].unit != unit:
                continue
            fortran = callback_name(name)
            if not FORTRAN_NAME.match(fortran) or fortran.upper() in taken \
                    or fortran.upper() in used_names:
                skipped["name taken or not a Fortran name"] += 1
                continue
            try:
                lines = abstract_interface_lines(
                    fortran, text, typedefs, Structures(types.catalog, types.types),
                    toolchain.parameter_names(*declarations[unit].typedef_nodes[target]))
            except Untranslatable as problem:
                skipped[str(problem)] += 1
                continue
            used_names.add(fortran.upper())
            remarks = []
            if macro is not None:
                found.callbacks[macro.neutral] += 1
                remarks.append(alias_remark(typedef, macro.neutral))
            if fortran != name:
                found.renamed_callbacks.append((name, fortran))
                remarks.append("renamed, as a program may give its own "
                               "procedure of this type the type's name "
                               "(WNDPROC: WndProc)")
            if remarks:
                lines = comment_lines("%s: the callback type %s, %s." % (
                    fortran, name, ", ".join(remarks))) + lines
            blocks[index][fortran] = lines
    return blocks, skipped


def _type_names(unit_types):
    """The Fortran names of every type the units write, upper case."""
    return {ftype.name.upper() for types in unit_types.values()
            for ftype in list(types.types.values()) + [
                a for found in types.aliases.values() for a in found]}


def _callback_target(name, typedefs):
    """The typedef that spells out the function pointer an alias names."""
    while "(*)" not in typedefs[name] and typedefs[name] in typedefs:
        name = typedefs[name]
    return name


def collect_types(unit_types, used, function_names, every_function):
    """({library index: {name: TYPE definition lines}}, {name: [names of
    the blocks it needs, the whole closure]}, TypeFindings): the records of the
    libraries' headers, and those of other headers that a library's
    functions take (through their members too), each under its Fortran
    name and its other C names.  A block holds its own type only; the types
    it holds are blocks of their own, placed in the earliest library of
    any block that needs them, so the job meets every needed block first."""
    library_of, blocks, written, needs = {}, defaultdict(dict), set(), {}
    found = TypeFindings()
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
                            "members, which the functions taking %s take %s." % (
                                written_type.name, ftype.name, origin, ftype.name,
                                "as well" if is_neutral_name(ftype.name,
                                                             written_type.name)
                                else "where every other argument is given"))
                blocks[index][written_type.name] = comment_lines(text) + \
                    definition_lines(written_type, held=False)
                needs[written_type.name] = needed_types(written_type)
                found.layout_checks += [
                    (unit, written_type.name, check)
                    for check in types.checks[written_type.name]]
            found.aliases += len(aliases)
        for reason, names in types.skipped.items():
            found.types_skipped[reason] += len(names)
        found.types_unplaced += sum(
            1 for key in types.types if (unit, key) not in library_of)
    _place_needed_blocks(blocks, needs)
    return blocks, _closures(blocks, needs), found


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


def collect_constants(function_names, preprocessed_units, macros):
    """{library index: {name: PARAMETER lines}}: integer constants, string
    constants and the other C names of string constants (`macros` {unit:
    {name: MacroName}}: WC_LISTVIEW for WC_LISTVIEWA); and their
    ConstantFindings."""
    found, strings, findings = {}, {}, ConstantFindings()
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
                findings.unowned_headers[min(names[name])] += 1
        candidates = {n: library for n, library in candidates.items()
                      if LIBRARIES[library].unit == unit}
        probes = toolchain.evaluate_constants(unit, sorted(candidates))
        for name in sorted(probes):
            constant = const.make_constant(name, candidates[name],
                                           probes[name])
            if constant is not None:
                found.setdefault(name, constant)

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
            findings.dropped["longer than a Fortran name may be"].append(constant.name)
        elif upper in RESERVED:
            findings.dropped["name of a Fortran intrinsic"].append(constant.name)
        elif upper in taken_by_functions:
            findings.dropped["same name as a function"].append(constant.name)
        elif likely_variable_name(constant.name):
            findings.dropped["a likely variable name"].append(constant.name)
        elif everyday_word(constant.name):
            findings.dropped["an everyday word"].append(constant.name)
        elif upper in kept:
            findings.dropped["same name as another constant apart from case"]\
                .append(constant.name)
        else:
            kept[upper] = constant
            if constant.kind == "C_CHAR":
                findings.string_constants += 1
                blocks[constant.library][constant.name] = string_parameter_lines(
                    constant.name, constant.value)
                continue
            lines = parameter_lines(constant.name, constant.kind, constant.value)
            if constant.kind == "C_INT8_T" and const.byte_member_constant(
                    constant.name, constant.value & 0xFF):
                findings.byte_constants.append(constant.name)
                lines = comment_lines(
                    "%d in C, held as its bit pattern in a byte, for the BYTE "
                    "members such as LOGFONTA%%lfCharSet." % (
                        constant.value & 0xFF)) + lines
            blocks[constant.library][constant.name] = lines
    strings = {c.name: c for c in kept.values() if c.kind == "C_CHAR"}
    aliased = set()
    for unit in sorted(UNIT_SOURCES):
        for name, macro in sorted(macros[unit].items()):
            target = first_of(macro, strings)
            if target is None or name.upper() in aliased:
                continue
            if not FORTRAN_NAME.match(name) or name.upper() in kept \
                    or name.upper() in RESERVED or name.upper() in taken_by_functions \
                    or likely_variable_name(name) or everyday_word(name):
                findings.aliases_taken.append((name, target))
                continue
            kept[name.upper()] = strings[target]
            aliased.add(name.upper())
            findings.string_aliases[macro.neutral] += 1
            blocks[strings[target].library][name] = comment_lines("%s: %s." % (
                name, alias_remark(target, macro.neutral))) + string_parameter_lines(
                    name, strings[target].value)
    return blocks, findings


def collect_type_notes(attempted, declarations, unit_types, type_blocks, taken,
                       fd_names, function_names):
    """{library index: {C name: reason}}: the structures that translated
    functions take and that are not written ("not written: packed ..."), in
    the library of their header or else of the first such function, and
    the other structures of the libraries' headers that are not written;
    and the C names of written types that are function names, which name
    no type (their reason says which type to write).  The master list
    lists them all, so the report names them when a program uses one.
    Returns the notes and their NoteFindings."""
    notes, placed, found = defaultdict(dict), set(taken), NoteFindings()

    def note(record, types, index):
        c_name = (types.c_names.get(record.key) or [record.tag])[0]
        header_index = library_of_header(record.header) if record.header else None
        where = index if header_index is None else header_index
        if c_name and FORTRAN_NAME.match(c_name) and c_name.upper() not in placed:
            placed.add(c_name.upper())
            reason = types.not_written[record.key]
            notes[where][c_name] = "not written: " + reason
            found.not_written.append((LIBRARIES[where].name, c_name, reason))
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
            if record is not None and record.key in types.not_written:
                note(record, types, index)
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        types = unit_types[unit]
        for record in types.catalog.in_order:
            index = library_of_header(record.header) if record.header else None
            if record.key in types.not_written and index is not None \
                    and LIBRARIES[index].unit == unit:
                note(record, types, index)
    for unit in sorted(UNIT_SOURCES, key=lambda u: u != MAIN_UNIT):
        types = unit_types[unit]
        for c_name, (reason, type_name) in sorted(types.names_left.items()):
            index = next((i for i, b in type_blocks.items() if type_name in b), None)
            if index is None or (c_name, reason, type_name) in found.names_left:
                continue
            reason = _name_reason(c_name, reason, function_names)
            found.names_left.append((c_name, reason, type_name))
            # A function's name: listed, so that the report names it.
            if c_name.upper() in function_names and c_name.upper() not in fd_names:
                fd_names.add(c_name.upper())
                notes[index][c_name] = "not a type: %s; write TYPE(%s)" % (
                    reason, type_name)
    return notes, found


def generate(examples_dir, report_path, layout_path):
    """Runs the phases, writes the library files and master lists into
    examples_dir, the report and the layout checks; returns the names of
    the files in examples_dir."""
    owner, exported, every_export = collect_exports()
    wanted_by_unit = defaultdict(set)
    for name, index in owner.items():
        wanted_by_unit[LIBRARIES[index].unit].add(name)
    declarations = {unit: toolchain.function_declarations(unit, wanted_by_unit[unit])
                    for unit in sorted(UNIT_SOURCES)}
    attempted, listed, skipped = classify_functions(owner, every_export,
                                                    declarations)
    preprocessed = {unit: toolchain.preprocess_with_defines(unit)
                    for unit in sorted(UNIT_SOURCES)}
    macros = {unit: macro_names(macro_chains(preprocessed[unit]), macro_chains(
        toolchain.preprocess_with_defines(unit, unicode=True), "W"))
        for unit in sorted(UNIT_SOURCES)}
    constant_blocks, constant_findings = collect_constants(
        [n for n, _ in attempted] + function_alias_names(macros, attempted),
        preprocessed, macros)
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
             if LIBRARIES[index].unit == unit}, known, macros[unit])
        known.update(unit_types[unit].named())
    function_blocks, used, untranslated, function_findings, extensions = \
        translate_functions(attempted, declarations, unit_types)
    main_types = unit_types[MAIN_UNIT]
    macro_blocks, macro_findings = collect_macros(
        declarations[MAIN_UNIT].functions, declarations[MAIN_UNIT].typedefs,
        lambda: Structures(main_types.catalog, main_types.types),
        taken | _type_names(unit_types), owner)
    for block in macro_blocks.values():
        for key in block.records:
            used.setdefault((MAIN_UNIT, key), block.library)
    for index, notes in untranslated.items():
        listed[index].update(notes)
    for reason, entries in skipped.items():
        function_findings.skipped[reason] += entries
    function_findings.wide_twins = sum(
        1 for name, index in attempted if name.endswith("W")
        and name[:-1] + "A" in every_export and name in function_blocks[index])
    type_blocks, needs, type_findings = collect_types(
        unit_types, used, function_names, every_function)
    taken |= {n.upper() for b in type_blocks.values() for n in b}
    type_notes, note_findings = collect_type_notes(
        attempted, declarations, unit_types, type_blocks, taken,
        {n.upper() for b in list(constant_blocks.values()) + list(
            type_blocks.values()) for n in b}, every_function)
    alias_findings = AliasFindings()
    taken |= {n.upper() for n in macro_blocks}
    guid_blocks, guid_needs, guid_families, too_long = \
        collect_structure_constants({name: index for index, found in
                                     type_blocks.items() for name in found},
                                    taken)
    constant_findings.dropped["longer than a Fortran name may be"] += too_long
    for index, found in guid_blocks.items():
        constant_blocks.setdefault(index, {}).update(found)
    needs.update(guid_needs)
    taken |= {n.upper() for found in guid_blocks.values() for n in found}
    callback_blocks, callbacks_skipped = collect_callbacks(
        declarations, unit_types, taken, macros, alias_findings)
    alias_blocks, fi_needs, alias_listed = collect_function_aliases(
        macros, attempted, function_blocks, listed, declarations, unit_types,
        taken | {n.upper() for b in list(callback_blocks.values()) + list(
            type_notes.values()) for n in b},
        {n.upper() for b in type_blocks.values() for n in b}, alias_findings)
    extension_blocks, function_findings.other_name_specifics = other_name_blocks(
        extensions, type_blocks, {n.upper() for n, _ in attempted} | {
            n.upper() for b in list(listed.values()) + list(callback_blocks.values())
            + list(alias_blocks.values()) + list(alias_listed.values())
            for n in b} | {n.upper() for n in macro_blocks}, other_names(fi_needs))
    version = version_line(toolchain.headers_version())

    fi_entries, fd_entries, library_counts = [], [], []
    for index, library in enumerate(LIBRARIES):
        dll = library.import_library + ".dll"
        functions = function_blocks.get(index, {})
        fi = dict(functions, **callback_blocks.get(index, {}),
                  **alias_blocks.get(index, {}),
                  **extension_blocks.get(index, {}))
        fi.update((name, block.lines) for name, block in macro_blocks.items()
                  if block.library == index)
        constants = constant_blocks.get(index, {})
        fd = dict(constants, **type_blocks.get(index, {}))
        only_listed = dict(listed.get(index, {}), **alias_listed.get(index, {}))
        fd_notes = type_notes.get(index, {})
        for kind, preamble, blocks, notes, block_needs in (
                ("FI", FI_PREAMBLE, fi, only_listed, fi_needs),
                ("FD", FD_PREAMBLE, fd, fd_notes, needs)):
            path = os.path.join(examples_dir, "%s.%s" % (library.name, kind))
            with open(path, "w", newline="") as out:
                out.write(library_text(preamble, library.name, dll, blocks, notes,
                                       block_needs, "MASTER%s.LIS" % kind, version))
        fi_entries += [(n, library.name) for n in sorted(
            list(fi) + list(only_listed), key=sort_key)]
        fd_entries += [(n, library.name) for n in sorted(
            list(fd) + list(fd_notes), key=sort_key)]
        assigned = sum(1 for n in owner if owner[n] == index)
        library_counts.append(LibraryCounts(
            library.name, len(exported[index]), len(exported[index]) - assigned,
            len(functions), assigned - len(functions), len(constants),
            len(type_blocks.get(index, {})), len(callback_blocks.get(index, {}))))
    master_counts = [
        write_master_list(examples_dir, "MASTERFI.LIS", fi_entries, fi_needs),
        write_master_list(examples_dir, "MASTERFD.LIS", fd_entries, needs)]

    support_files = write_support_sources(examples_dir, macro_blocks)

    found = Findings(
        function_findings, constant_findings, type_findings, note_findings,
        alias_findings, callbacks_skipped, library_counts, master_counts,
        listed_only=sum(len(b) for b in listed.values()),
        abstract_interfaces=sum(len(b) for b in callback_blocks.values()),
        derived_types=sum(len(b) for b in type_blocks.values()),
        macros=macro_findings, guids=guid_families)
    with open(report_path, "w") as out:
        out.write(report_text(found))
    with open(layout_path, "w") as out:
        out.write(layout_check_text(type_findings.layout_checks))
    return ["%s.%s" % (lib.name, kind) for lib in LIBRARIES
            for kind in ("FD", "FI")] + ["MASTERFD.LIS", "MASTERFI.LIS"] + \
        support_files


def write_support_sources(examples_dir, macro_blocks):
    """Writes the C source of the support library, one file per library
    whose macros it holds, so that a program links only the functions of
    the libraries it uses; returns their names relative to examples_dir."""
    folder = os.path.join(examples_dir, SUPPORT_FOLDER)
    os.makedirs(folder, exist_ok=True)
    names = []
    for index, library in enumerate(LIBRARIES):
        wrappers = [w for name in sorted(macro_blocks, key=sort_key)
                    if macro_blocks[name].library == index
                    for w in macro_blocks[name].wrappers]
        if not wrappers:
            continue
        name = "%s/pareskit_%s.c" % (SUPPORT_FOLDER, library.name.lower())
        with open(os.path.join(examples_dir, name), "w", newline="") as out:
            out.write(c_source(library.name, wrappers))
        names.append(name)
    return names


def write_master_list(examples_dir, file_name, entries, entry_needs):
    """Writes one master list; returns its MasterCounts.  Stops the
    generator when the list would not fit the extractor's symbol table."""
    size = master_store_bytes(entries, entry_needs)
    lines = len(entries) + sum(len(n) for n in entry_needs.values())
    if lines > MAX_MASTER_ENTRIES or size > MAX_MASTER_BYTES:
        raise SystemExit("%s too large: %d lines, %d bytes"
                         % (file_name, lines, size))
    with open(os.path.join(examples_dir, file_name), "w", newline="") as out:
        out.write(master_text(entries, entry_needs))
    return MasterCounts(file_name, len(entries), lines - len(entries),
                        len(entry_needs), size)


def check():
    """Generates into a scratch directory and compares with the committed
    files; returns the names that differ."""
    with tempfile.TemporaryDirectory() as scratch:
        fresh_report = os.path.join(scratch, "generator-report.txt")
        fresh_layout = os.path.join(scratch, "layout-checks.txt")
        names = generate(scratch, fresh_report, fresh_layout)
        pairs = [(os.path.join(scratch, n), os.path.join(EXAMPLES, n), n)
                 for n in names]
        pairs.append((fresh_report, REPORT, "libgen/generator-report.txt"))
        pairs.append((fresh_layout, LAYOUT_CHECKS,
                      "tests/layout/testdata/layout-checks.txt"))
        return [label for fresh, committed, label in pairs
                if not os.path.exists(committed)
                or not filecmp.cmp(fresh, committed, shallow=False)]
