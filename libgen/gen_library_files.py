#!/usr/bin/env python3
"""Generates examples/: the FD and FI library files of the thirteen Win32
libraries and the master lists MASTERFD.LIS and MASTERFI.LIS, from the
mingw-w64 headers and import libraries installed on this machine, plus a
report of what could not be translated (libgen/generator-report.txt).

    python3 libgen/gen_library_files.py           write the files
    python3 libgen/gen_library_files.py --check   compare, exit 1 on a difference

Both exit with 77 (skipped) or 2 when a needed cross tool is missing.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
# Import the package, not its modules one by one.
sys.path[0] = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

from libgen import pipeline, toolchain  # noqa: E402


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
        differing = pipeline.check()
        for name in differing:
            print("differs: " + name)
        return 1 if differing else 0
    pipeline.generate(pipeline.EXAMPLES, pipeline.REPORT, pipeline.LAYOUT_CHECKS)
    return 0


if __name__ == "__main__":
    sys.exit(main())
