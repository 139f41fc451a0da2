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
from libgen.fixed_form import parameter_lines  # noqa: E402
from libgen.fortran_names import RESERVED  # noqa: E402
from libgen.interfaces import FORTRAN_NAME, interface_lines  # noqa: E402
from libgen.libraries import LIBRARIES, MAIN_UNIT, UNIT_SOURCES  # noqa: E402
from libgen.library_files import (FD_PREAMBLE, FI_PREAMBLE,  # noqa: E402
                                  library_text, master_store_bytes,
                                  master_text, sort_key)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXAMPLES = os.path.join(ROOT, "examples")
REPORT = os.path.join(ROOT, "tools", "generator-report.txt")

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

    def text(self):
        out = list(self.lines)
        for reason in sorted(self.skipped):
            entries = sorted(self.skipped[reason])
            out.append("")
            out.append("Functions not translated (%s): %d"
                       % (reason, len(entries)))
            out.extend("  %-9s %s" % entry for entry in entries)
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


def collect_functions(report):
    """{library index: {name: interface lines}} and per-library counts."""
    owner, exported = {}, []
    for index, library in enumerate(LIBRARIES):
        names = toolchain.exported_functions(library.import_library)
        exported.append(names)
        for name in names:
            owner.setdefault(name, index)
    every_export = set().union(*exported)

    wanted_by_unit = defaultdict(set)
    for name, index in owner.items():
        wanted_by_unit[LIBRARIES[index].unit].add(name)
    declarations, typedefs = {}, {}
    for unit in sorted(UNIT_SOURCES):
        declarations[unit], typedefs[unit] = toolchain.function_declarations(
            unit, wanted_by_unit[unit])

    blocks = defaultdict(dict)
    folded = {}
    # Library order first, so that of two names differing only in case the
    # one of the earlier library is kept.
    for name in sorted(owner, key=lambda n: (owner[n],) + sort_key(n)):
        index = owner[name]
        library = LIBRARIES[index]
        reason = None
        if name.endswith("W") and name[:-1] + "A" in every_export:
            reason = "wide-character variant of an A function"
        elif not FORTRAN_NAME.match(name):
            reason = "not a Fortran name"
        elif name.upper() in folded:
            reason = "same name as %s apart from case" % folded[name.upper()]
        elif name not in declarations[library.unit]:
            reason = ("no prototype: unsuffixed alias of an A function"
                      if name + "A" in every_export
                      else "no prototype in the headers")
        if reason is None:
            try:
                blocks[index][name] = interface_lines(
                    name, declarations[library.unit][name],
                    typedefs[library.unit])
                folded[name.upper()] = name
                continue
            except Untranslatable as problem:
                reason = str(problem)
        report.skipped[reason].append((library.name, name))
    counts = [(len(exported[i]), sum(1 for n in owner if owner[n] == i))
              for i in range(len(LIBRARIES))]
    return blocks, counts


def collect_constants(function_names, report):
    """{library index: {name: PARAMETER lines}}."""
    found, unowned = {}, Counter()
    for unit in sorted(UNIT_SOURCES):
        preprocessed = toolchain.preprocess_with_defines(unit)
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
    for constant in ordered:
        upper = constant.name.upper()
        if not FORTRAN_NAME.match(constant.name):
            report.dropped["longer than a Fortran name may be"].append(constant.name)
        elif upper in RESERVED:
            report.dropped["name of a Fortran intrinsic"].append(constant.name)
        elif upper in taken_by_functions:
            report.dropped["same name as a function"].append(constant.name)
        elif upper in kept:
            report.dropped["same name as another constant apart from case"]\
                .append(constant.name)
        else:
            kept[upper] = constant
            blocks[constant.library][constant.name] = parameter_lines(
                constant.name, constant.kind, constant.value)
    return blocks


def generate(examples_dir, report_path):
    report = Report()
    function_blocks, export_counts = collect_functions(report)
    function_names = [n for b in function_blocks.values() for n in b]
    constant_blocks = collect_constants(function_names, report)

    fi_entries, fd_entries = [], []
    report.lines.append("Functions an import library exports belong to the first library")
    report.lines.append("in table order that exports them (\"earlier\" counts those taken")
    report.lines.append("by an earlier library); constants to the first library owning")
    report.lines.append("one of their defining headers.")
    report.lines.append("")
    report.lines.append("Library   exported earlier translated skipped constants")
    for index, library in enumerate(LIBRARIES):
        dll = library.import_library + ".dll"
        fi = function_blocks.get(index, {})
        fd = constant_blocks.get(index, {})
        for kind, preamble, blocks in (("FI", FI_PREAMBLE, fi),
                                       ("FD", FD_PREAMBLE, fd)):
            path = os.path.join(examples_dir, "%s.%s" % (library.name, kind))
            with open(path, "w", newline="") as out:
                out.write(library_text(preamble, library.name, dll, blocks))
        fi_entries += [(n, library.name) for n in sorted(fi, key=sort_key)]
        fd_entries += [(n, library.name) for n in sorted(fd, key=sort_key)]
        exported, assigned = export_counts[index]
        report.lines.append("%-9s %8d %7d %10d %7d %9d" % (
            library.name, exported, exported - assigned, len(fi),
            assigned - len(fi), len(fd)))

    for file_name, entries in (("MASTERFI.LIS", fi_entries),
                               ("MASTERFD.LIS", fd_entries)):
        size = master_store_bytes(entries)
        if len(entries) > MAX_MASTER_ENTRIES or size > MAX_MASTER_BYTES:
            raise SystemExit("%s too large: %d entries, %d bytes"
                             % (file_name, len(entries), size))
        with open(os.path.join(examples_dir, file_name), "w", newline="") as out:
            out.write(master_text(entries))
        report.lines.append("%s: %d entries, %d bytes of symbol store"
                            % (file_name, len(entries), size))
    reasons = Counter({r: len(v) for r, v in report.skipped.items()})
    report.lines.append("Skipped functions by reason: " + ", ".join(
        "%s %d" % item for item in sorted(reasons.items())))
    with open(report_path, "w") as out:
        out.write(report.text())
    return ["%s.%s" % (lib.name, kind) for lib in LIBRARIES
            for kind in ("FD", "FI")] + ["MASTERFD.LIS", "MASTERFI.LIS"]


def check():
    """Generates into a scratch directory and compares with the committed
    files; returns the names that differ."""
    with tempfile.TemporaryDirectory() as scratch:
        fresh_report = os.path.join(scratch, "generator-report.txt")
        names = generate(scratch, fresh_report)
        pairs = [(os.path.join(scratch, n), os.path.join(EXAMPLES, n), n)
                 for n in names]
        pairs.append((fresh_report, REPORT, "tools/generator-report.txt"))
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
    generate(EXAMPLES, REPORT)
    return 0


if __name__ == "__main__":
    sys.exit(main())
