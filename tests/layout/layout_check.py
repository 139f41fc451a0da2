#!/usr/bin/env python3
"""Compares the layout of every derived type in the example FD files with
the C compiler's: a Fortran program INCLUDEs all thirteen FD files and
prints each type's size and alignment (C_SIZEOF, and the offset of the
type in a structure after one character) and each checked member's offset
and size (C_LOC differences, C_SIZEOF); a C program prints sizeof,
_Alignof and offsetof for the same lines.  Both are built with the
mingw-w64 compilers and run under wine; their outputs must be equal.

    python3 tests/layout/layout_check.py [SCRATCH_DIR]

Exit status: 0 equal, 1 different or failed, 77 skipped (a cross compiler
or wine is missing).
"""

import os
import shutil
import subprocess
import sys
import tempfile
from collections import OrderedDict

sys.dont_write_bytecode = True
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__))))
sys.path.insert(0, ROOT)

from libgen.libraries import COMPILE_DEFINES, LIBRARIES, UNIT_SOURCES  # noqa: E402
from libgen.source_form import statement_lines  # noqa: E402

EXAMPLES = os.path.join(ROOT, "examples")
CHECKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "testdata",
                      "layout-checks.txt")
FC = os.environ.get("FC", "x86_64-w64-mingw32-gfortran")
CC = os.environ.get("CC", "x86_64-w64-mingw32-gcc")
WINE = os.environ.get("WINE", "wine")


def read_checks():
    """{type name: [(label, measure, path, C expression)]} in file order,
    and {type name: header unit}."""
    checks, units = OrderedDict(), {}
    with open(CHECKS) as lines:
        for line in lines:
            unit, name, measure, path, expression = line.rstrip("\n").split(" ", 4)
            units[name] = unit
            checks.setdefault(name, []).append(
                ("%s %s %s" % (name, measure, path), measure, path, expression))
    return checks, units


def fortran_program(checks):
    lines = ["      PROGRAM LAYOUT", "      USE, INTRINSIC :: ISO_C_BINDING",
             "      IMPLICIT NONE"]
    lines += ["      INCLUDE '%s.FD'" % library.name for library in LIBRARIES]
    lines += ["      CALL T%d" % number for number in range(1, len(checks) + 1)]
    lines += ["      CONTAINS",
              "      SUBROUTINE SHOW(LABEL, VALUE)",
              "      CHARACTER(LEN=*) :: LABEL",
              "      INTEGER(C_SIZE_T) :: VALUE",
              "      WRITE (*, '(A, 1X, I0)') LABEL, VALUE",
              "      END SUBROUTINE SHOW",
              "      FUNCTION OFF(A, B)",
              "      TYPE(C_PTR) :: A, B",
              "      INTEGER(C_SIZE_T) :: OFF",
              "      OFF = TRANSFER(A, 0_C_SIZE_T) - TRANSFER(B, 0_C_SIZE_T)",
              "      END FUNCTION OFF"]
    for number, (name, items) in enumerate(checks.items(), start=1):
        lines += statement_lines("SUBROUTINE T%d" % number)
        # A character before the type: where the type starts is its alignment.
        lines += statement_lines("TYPE, BIND(C) :: AFTER_CHAR")
        lines += statement_lines("CHARACTER(KIND=C_CHAR) :: C")
        lines += statement_lines("TYPE(%s) :: T" % name)
        lines += statement_lines("END TYPE AFTER_CHAR")
        lines += statement_lines("TYPE(%s), TARGET :: V" % name)
        lines += statement_lines("TYPE(AFTER_CHAR), TARGET :: W")
        for label, measure, path, _ in items:
            if path == "-":
                value = ("INT(C_SIZEOF(V), C_SIZE_T)" if measure == "size"
                         else "OFF(C_LOC(W%T), C_LOC(W))")
            elif measure == "size":
                value = "INT(C_SIZEOF(V%%%s), C_SIZE_T)" % path
            else:
                value = "OFF(C_LOC(V%%%s), C_LOC(V))" % path
            lines += statement_lines("CALL SHOW('%s', %s)" % (label, value))
        lines += statement_lines("END SUBROUTINE T%d" % number)
    lines.append("      END PROGRAM LAYOUT")
    return "\n".join(lines) + "\n"


def c_program(unit, checks, units):
    lines = [UNIT_SOURCES[unit], "#include <stdio.h>", "int main(void) {"]
    for name, items in checks.items():
        if units[name] != unit:
            continue
        for label, _, _, expression in items:
            lines.append('  printf("%%s %%lld\\n", "%s", (long long)(%s));'
                         % (label, expression))
    lines += ["  return 0;", "}"]
    return "\n".join(lines) + "\n"


def run(arguments, scratch, output=None):
    with open(output, "w") if output else open(os.devnull, "w") as out:
        result = subprocess.run(arguments, cwd=scratch, stdout=out,
                                stderr=subprocess.PIPE, text=True,
                                errors="replace")
    if result.returncode != 0:
        sys.stderr.write(result.stderr[-4000:])
        raise SystemExit("FAILED: %s exited with %d" % (arguments[0],
                                                        result.returncode))


def main():
    for tool in (FC, CC, WINE):
        if shutil.which(tool) is None:
            print("skipped: %s is not installed" % tool)
            return 77
    checks, units = read_checks()
    scratch = sys.argv[1] if len(sys.argv) > 1 else tempfile.mkdtemp()
    os.makedirs(scratch, exist_ok=True)
    for library in LIBRARIES:
        shutil.copy(os.path.join(EXAMPLES, library.name + ".FD"), scratch)
    with open(os.path.join(scratch, "LAYOUT.FOR"), "w") as out:
        out.write(fortran_program(checks))
    run([FC, "-static", "-o", "layout_f.exe", "LAYOUT.FOR"], scratch)
    # A fresh wine prefix would offer to install engines the check needs not.
    os.environ.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    run([WINE, "layout_f.exe"], scratch, os.path.join(scratch, "fortran.out"))
    c_lines = []
    for unit in sorted(UNIT_SOURCES):
        source = "layout_%s.c" % unit
        with open(os.path.join(scratch, source), "w") as out:
            out.write(c_program(unit, checks, units))
        run([CC, *COMPILE_DEFINES, "-w", "-o", "layout_%s.exe" % unit, source],
            scratch)
        output = os.path.join(scratch, "c_%s.out" % unit)
        run([WINE, "layout_%s.exe" % unit], scratch, output)
        with open(output) as lines:
            c_lines += [line.rstrip("\r\n") for line in lines]
    with open(os.path.join(scratch, "fortran.out")) as lines:
        fortran_lines = [" ".join(line.split()) for line in lines]
    c_lines = [" ".join(line.split()) for line in c_lines]
    differing = sorted(set(fortran_lines) ^ set(c_lines))
    for line in differing[:40]:
        print("differs: " + line)
    print("%d layout checks of %d types, %d equal" % (
        len(c_lines), len(checks), len(set(fortran_lines) & set(c_lines))))
    return 1 if differing or len(fortran_lines) != len(c_lines) else 0


if __name__ == "__main__":
    sys.exit(main())
