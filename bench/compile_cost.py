#!/usr/bin/env python3
"""What the library files cost a program's compilation: for HELLOWIN,
EVERYDAY, CALLS100 and NATURAL, the size of the NAME.FI the job extracts and
the least time of RUNS `-fsyntax-only` compilations of NAME.FOR; the same
time for a program that INCLUDEs all 26 library files; the specifics per
generic interface (median, largest) and the library files' total size.

    bench/compile_cost.py BATCH_EXE [--runs N] [--examples DIR]

Run it on an idle machine: the least of N runs is the figure least
disturbed by other work.  FC names the compiler (default
x86_64-w64-mingw32-gfortran)."""

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
_SPECIFIC = re.compile(r"^      (?:FUNCTION|SUBROUTINE) \w+_\d+\(")


def least_time(compiler, source, directory, runs):
    """The least wall time in seconds of `runs` syntax-only compilations."""
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run([compiler, "-fsyntax-only", source], cwd=directory,
                       check=True)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best


def specifics_per_generic(examples):
    """{generic name: number of its specifics} over the library files."""
    counts = {}
    for path in sorted(glob.glob(os.path.join(examples, "*.FI"))):
        generic = None
        with open(path) as lines:
            for line in lines:
                opened = _GENERIC.match(line)
                if opened:
                    generic = opened.group(1)
                    counts[generic] = 0
                elif generic and _SPECIFIC.match(line):
                    counts[generic] += 1
                elif line.startswith("      END INTERFACE"):
                    generic = None
    return counts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("batch")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--examples", default=os.path.join(ROOT, "examples"))
    options = parser.parse_args()
    compiler = os.environ.get("FC", "x86_64-w64-mingw32-gfortran")
    batch = os.path.abspath(options.batch)
    with tempfile.TemporaryDirectory() as scratch:
        for pattern in ("*.FD", "*.FI", "*.LIS", "*.FOR"):
            for path in glob.glob(os.path.join(options.examples, pattern)):
                shutil.copy(path, scratch)
        shutil.copy(os.path.join(ROOT, "tests", "round_trip", "testdata",
                                 "CALLS100.FOR"), scratch)
        print("%-9s %10s %12s" % ("program", "NAME.FI", "least s"))
        for name in PROGRAMS:
            subprocess.run([batch, name], cwd=scratch, check=True,
                           stdout=subprocess.DEVNULL)
            size = os.path.getsize(os.path.join(scratch, name + ".FI"))
            seconds = least_time(compiler, name + ".FOR", scratch, options.runs)
            print("%-9s %10d %12.4f" % (name, size, seconds))
        with open(os.path.join(scratch, "EVERY.FOR"), "w") as every:
            every.write("      PROGRAM EVERY\n"
                        "      USE, INTRINSIC :: ISO_C_BINDING\n"
                        "      IMPLICIT NONE\n")
            for kind in ("FI", "FD"):
                for library in LIBRARIES:
                    every.write("      INCLUDE '%s.%s'\n" % (library, kind))
            every.write("      END PROGRAM EVERY\n")
        seconds = least_time(compiler, "EVERY.FOR", scratch,
                             max(1, options.runs // 5))
        print("%-9s %10s %12.4f  (all 26 library files INCLUDEd)"
              % ("EVERY", "-", seconds))
    counts = specifics_per_generic(options.examples)
    largest = max(counts, key=counts.get)
    total = sum(os.path.getsize(p) for kind in ("FD", "FI") for p in
                glob.glob(os.path.join(options.examples, "*." + kind)))
    print("generics %d, specifics per generic: median %g, largest %d (%s)"
          % (len(counts), statistics.median(counts.values()), counts[largest],
             largest))
    print("library files (.FD and .FI) total %d bytes" % total)


if __name__ == "__main__":
    main()
