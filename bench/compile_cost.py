#!/usr/bin/env python3
"""What the library files cost a program's compilation: for HELLOWIN,
EVERYDAY, CALLS100 and NATURAL, the size of the NAME.FI the job extracts and
the least time of RUNS `-fsyntax-only` compilations of NAME.FOR; the same
time for a program that INCLUDEs all 26 library files; the specifics per
generic interface (median, largest) and the library files' total size.

    bench/compile_cost.py BATCH_EXE [--runs N] [--examples DIR]
                          [--baseline-rev REV]

With --baseline-rev the library set of that revision (its examples/
folder) is measured too, with the same programs, its runs interleaved
with the current set's so that both meet the same load, and each figure
is given with the ratio of the two.  Run it on an idle machine: the least
of N runs is the figure least disturbed by other work.  FC names the
compiler (default x86_64-w64-mingw32-gfortran)."""

import argparse
import glob
import os
import re
import shutil
import statistics
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAMS = ("HELLOWIN", "EVERYDAY", "CALLS100", "NATURAL")
LIBRARIES = ("USER32 GDI32 KERNEL32 COMDLG32 COMCTL32 WIN32SPL SHELL32 "
             "NETAPI32 OLECLI32 OLESVR32 RASAPI32 LZ32 ADVAPI32").split()
_GENERIC = re.compile(r"^      INTERFACE (\w+)\s*$")
_SPECIFIC = re.compile(r"^      (?!END )(?:[A-Z].*\) )?(?:FUNCTION|SUBROUTINE) \w+\(")


def elapsed(compiler, source, directory):
    """The wall time in seconds of one syntax-only compilation."""
    start = time.perf_counter()
    subprocess.run([compiler, "-fsyntax-only", source], cwd=directory, check=True)
    return time.perf_counter() - start


def least_times(compiler, source, directories, runs):
    """The least time of `runs` compilations of the source in each
    directory, the directories taking turns."""
    best = [None] * len(directories)
    for _ in range(runs):
        for index, directory in enumerate(directories):
            seconds = elapsed(compiler, source, directory)
            if best[index] is None or seconds < best[index]:
                best[index] = seconds
    return best


def specifics_per_generic(examples):
    """{generic name: number of its specifics} over the library files,
    those that another C name of a structure adds in a block of its own
    left out."""
    counts = {}
    for path in sorted(glob.glob(os.path.join(examples, "*.FI"))):
        block, generic = None, None
        with open(path) as lines:
            for line in lines:
                if line.startswith("C*"):
                    block = line[2:].strip()
                opened = _GENERIC.match(line)
                if opened and opened.group(1) == block:
                    generic = block
                    counts[generic] = 0
                elif generic and _SPECIFIC.match(line):
                    counts[generic] += 1
                elif line.startswith("      END INTERFACE"):
                    generic = None
    return counts


def prepare(examples, directory, batch, tree):
    """A scratch copy of a library set with the four programs as the
    source tree `tree` holds them (a program may have changed with its
    set: HELLOWIN's WndProc) and the program INCLUDEing every file, the
    job run for each program."""
    os.makedirs(directory)
    for pattern in ("*.FD", "*.FI", "*.LIS"):
        for path in glob.glob(os.path.join(examples, pattern)):
            shutil.copy(path, directory)
    for name in PROGRAMS:
        source = os.path.join(tree, "examples", name + ".FOR")
        if not os.path.exists(source):
            source = os.path.join(tree, "tests", "round_trip", "testdata", name + ".FOR")
        shutil.copy(source, directory)
        subprocess.run([batch, name], cwd=directory, check=True,
                       stdout=subprocess.DEVNULL)
    with open(os.path.join(directory, "EVERY.FOR"), "w") as every:
        every.write("      PROGRAM EVERY\n      USE, INTRINSIC :: ISO_C_BINDING\n"
                    "      IMPLICIT NONE\n")
        for kind in ("FI", "FD"):
            for library in LIBRARIES:
                every.write("      INCLUDE '%s.%s'\n" % (library, kind))
        every.write("      END PROGRAM EVERY\n")


def set_figures(examples):
    """(median and largest specifics per generic with its name, the
    library files' total size) of a library set."""
    counts = specifics_per_generic(examples)
    largest = max(counts, key=counts.get)
    total = sum(os.path.getsize(p) for kind in ("FD", "FI") for p in
                glob.glob(os.path.join(examples, "*." + kind)))
    return statistics.median(counts.values()), counts[largest], largest, \
        len(counts), total


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("batch")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--examples", default=os.path.join(ROOT, "examples"))
    parser.add_argument("--baseline-rev")
    options = parser.parse_args()
    compiler = os.environ.get("FC", "x86_64-w64-mingw32-gfortran")
    batch = os.path.abspath(options.batch)
    with tempfile.TemporaryDirectory() as scratch:
        sets = [("current", options.examples, ROOT)]
        if options.baseline_rev:
            baseline = os.path.join(scratch, "baseline-tree")
            os.makedirs(baseline)
            archive = subprocess.run(["git", "-C", ROOT, "archive", options.baseline_rev,
                                      "examples", "tests/round_trip/testdata"],
                                     check=True, capture_output=True)
            subprocess.run(["tar", "-x", "-C", baseline], input=archive.stdout,
                           check=True)
            sets.insert(0, ("baseline", os.path.join(baseline, "examples"), baseline))
        directories = []
        for label, examples, tree in sets:
            directories.append(os.path.join(scratch, label))
            prepare(examples, directories[-1], batch, tree)
        print("%-9s %s" % ("program", "   ".join(
            "%s: NAME.FI bytes, least s" % label for label, _, _ in sets)))
        for name in PROGRAMS + ("EVERY",):
            runs = options.runs if name != "EVERY" else max(1, options.runs // 5)
            times = least_times(compiler, name + ".FOR", directories, runs)
            sizes = [os.path.getsize(os.path.join(d, name + ".FI"))
                     if name != "EVERY" else 0 for d in directories]
            row = "   ".join("%8d %8.4f" % pair for pair in zip(sizes, times))
            ratio = " (%.2fx)" % (times[-1] / times[0]) if len(times) > 1 else ""
            print("%-9s %s%s" % (name, row, ratio))
        for label, examples, _ in sets:
            median, largest, where, generics, total = set_figures(examples)
            print("%s: %d generics, specifics per generic median %g, largest %d "
                  "(%s); library files (.FD and .FI) %d bytes"
                  % (label, generics, median, largest, where, total))


if __name__ == "__main__":
    main()
