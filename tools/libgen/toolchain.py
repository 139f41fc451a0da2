"""Runs the cross tools that read the installed mingw-w64 headers and import
libraries: nm for the exports, gcc for the preprocessed headers and for
evaluating constants, clang for the function prototypes."""

import json
import os
import re
import shutil
import subprocess
import tempfile

from .libraries import COMPILE_DEFINES, UNIT_SOURCES

HEADER_DIRS = ("/usr/share/mingw-w64/include", "/usr/x86_64-w64-mingw32/include")
IMPORT_LIBRARY_DIR = "/usr/x86_64-w64-mingw32/lib"
NM = "x86_64-w64-mingw32-nm"
GCC = "x86_64-w64-mingw32-gcc"
CLANG = "clang"
CLANG_TARGET = "--target=x86_64-w64-mingw32"


def missing_tools():
    """The tools the generator runs that are not on the PATH."""
    return [tool for tool in (NM, GCC, CLANG) if shutil.which(tool) is None]


def _run(arguments, **options):
    return subprocess.run(arguments, check=True, capture_output=True, text=True,
                          errors="replace", **options).stdout


def exported_functions(import_library):
    """Names of the functions an import library exports (those with a call
    thunk; data exports have only the __imp_ pointer)."""
    path = os.path.join(IMPORT_LIBRARY_DIR, "lib%s.a" % import_library)
    thunks, pointers = set(), set()
    for line in _run([NM, "-g", "--defined-only", path]).splitlines():
        parts = line.split()
        if len(parts) != 3:
            continue
        kind, name = parts[1], parts[2]
        if kind == "T" and not name.startswith("."):
            thunks.add(name)
        elif kind == "I" and name.startswith("__imp_"):
            pointers.add(name[len("__imp_"):])
    return thunks & pointers


def header_base_name(path):
    """The header's name relative to the mingw-w64 include directory, or None
    for compiler-internal and command-line sources."""
    for directory in HEADER_DIRS:
        prefix = directory + "/"
        if path.startswith(prefix):
            return path[len(prefix):]
    return None


def preprocess_with_defines(unit):
    """The unit preprocessed with its #define and #undef lines kept in place."""
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "unit.c")
        with open(source, "w") as out:
            out.write(UNIT_SOURCES[unit])
        return _run([GCC, *COMPILE_DEFINES, "-E", "-dD", source])


_LINE_MARKER = re.compile(r'^# \d+ "([^"]*)"')


def split_by_file(preprocessed):
    """Yields (source path, line) for every line of preprocessed text."""
    current = ""
    for line in preprocessed.splitlines():
        marker = _LINE_MARKER.match(line)
        if marker:
            current = marker.group(1)
            continue
        yield current, line


_TOP_LEVEL_OPEN = "    {"
_KEEP_KINDS = ('"kind": "FunctionDecl"', '"kind": "TypedefDecl"')


def _top_level_declarations(stream, wanted_functions):
    """Yields the parsed top-level FunctionDecl (only those named in
    wanted_functions) and TypedefDecl nodes of a clang JSON AST dump, read
    line by line so the whole dump (some 250 MB) is never held at once.
    clang indents the dump: a top-level node opens with "    {" and its own
    attributes stand six blanks deep."""
    chunk, keep, is_function = None, None, False
    for line in stream:
        if chunk is None:
            if line.rstrip("\n") == _TOP_LEVEL_OPEN:
                chunk, keep = [line], None
            continue
        if keep is None and '"kind": ' in line:
            keep = any(kind in line for kind in _KEEP_KINDS)
            is_function = "FunctionDecl" in line
        if keep:
            chunk.append(line)
            if is_function and line.startswith('      "name": '):
                name = json.loads(line.split(":", 1)[1].strip().rstrip(","))
                keep = name in wanted_functions
        if line.startswith("    }"):
            if keep:
                yield json.loads("".join(chunk).rstrip().rstrip(","))
            chunk = None


def function_declarations(unit, wanted_functions):
    """Prototypes of the wanted functions as clang sees them in the unit, and
    every typedef of the unit: ({name: FunctionDecl node}, {name: C type})."""
    functions, typedefs = {}, {}
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "unit.c")
        with open(source, "w") as out:
            out.write(UNIT_SOURCES[unit])
        process = subprocess.Popen(
            [CLANG, CLANG_TARGET, *COMPILE_DEFINES, "-fsyntax-only", "-Xclang",
             "-ast-dump=json", source],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
            errors="replace")
        for node in _top_level_declarations(process.stdout, wanted_functions):
            name = node.get("name")
            if node["kind"] == "TypedefDecl":
                typedefs.setdefault(name, node["type"]["qualType"])
            else:
                functions.setdefault(name, node)
        if process.wait() != 0:
            raise RuntimeError("clang failed on the %s header unit" % unit)
    return functions, typedefs


_PROBE_LABEL = re.compile(r"^pk_v(\d+):$")
_PROBE_VALUE = re.compile(r"^\s*\.quad\s+(-?\d+)\s*$")
_PROBE_ERROR_LINE = re.compile(r"probe\.c:(\d+):")


def evaluate_constants(unit, names):
    """Evaluates every name as a C constant expression in the unit.  Returns
    {name: (value, size in bytes, gcc type class)} for the names that are
    integer-valued constants at compile time; the others are left out."""
    prefix_lines = UNIT_SOURCES[unit].count("\n")
    pending = list(names)
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "probe.c")
        assembly = os.path.join(scratch, "probe.s")
        # Each round drops the names whose lines drew an error; gcc reports
        # them all in one pass, so two or three rounds are enough.
        for _ in range(8):
            with open(source, "w") as out:
                out.write(UNIT_SOURCES[unit])
                for index, name in enumerate(pending):
                    out.write("const long long pk_v%d[3] = {(long long)(%s), "
                              "(long long)sizeof(%s), "
                              "(long long)__builtin_classify_type(%s)};\n"
                              % (index, name, name, name))
            result = subprocess.run(
                [GCC, *COMPILE_DEFINES, "-S", "-w", "-O0", "-fmax-errors=0",
                 "-o", assembly, source],
                capture_output=True, text=True, errors="replace")
            if result.returncode == 0:
                return _read_probe_values(assembly, pending)
            failed = {int(n) - prefix_lines - 1
                      for n in _PROBE_ERROR_LINE.findall(result.stderr)}
            if not failed:
                raise RuntimeError("gcc failed on the constant probe:\n"
                                   + result.stderr[:2000])
            pending = [name for index, name in enumerate(pending)
                       if index not in failed]
    raise RuntimeError("the constant probe did not settle")


def _read_probe_values(assembly, names):
    values, current = {}, None
    with open(assembly) as lines:
        for line in lines:
            label = _PROBE_LABEL.match(line)
            if label:
                current = int(label.group(1))
                values[current] = []
                continue
            if current is None:
                continue
            value = _PROBE_VALUE.match(line)
            if value and len(values[current]) < 3:
                values[current].append(int(value.group(1)))
            elif line.strip().startswith(".quad"):
                values[current].append(None)  # an address, not a number
    result = {}
    for index, triple in values.items():
        if len(triple) == 3 and None not in triple:
            result[names[index]] = tuple(triple)
    return result
