"""Runs the cross tools that read the installed mingw-w64 headers and import
libraries: nm for the exports, gcc for the preprocessed headers and for
evaluating constants, clang for the function prototypes."""

import functools
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


_VERSION_PART = re.compile(r"^#define __MINGW64_VERSION_(MAJOR|MINOR|BUGFIX)\s+(\d+)",
                           re.M)


def headers_version():
    """The mingw-w64 headers' version as _mingw_mac.h states it ("10.0.0"),
    or "unknown"."""
    for directory in HEADER_DIRS:
        path = os.path.join(directory, "_mingw_mac.h")
        if os.path.exists(path):
            with open(path, errors="replace") as source:
                parts = dict(_VERSION_PART.findall(source.read()))
            if len(parts) == 3:
                return "%s.%s.%s" % (parts["MAJOR"], parts["MINOR"], parts["BUGFIX"])
    return "unknown"


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


# What a program that uses the W functions defines.
UNICODE_DEFINES = ("-DUNICODE", "-D_UNICODE")


def preprocess_with_defines(unit, unicode=False):
    """The unit preprocessed with its #define and #undef lines kept in
    place; with UNICODE defined if `unicode`."""
    return preprocess(UNIT_SOURCES[unit], "-dD",
                      *(UNICODE_DEFINES if unicode else ()))


def preprocess(text, *options):
    """The C source text preprocessed with the gcc options given."""
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "unit.c")
        with open(source, "w") as out:
            out.write(text)
        return _run([GCC, *COMPILE_DEFINES, "-E", *options, source])


_ERROR_LINE = re.compile(r"^[^:\n]*unit\.c:(\d+):\d+: error:", re.M)


def error_lines(text, options=()):
    """The numbers of the lines of the C source text that clang reports
    errors at (empty when it compiles)."""
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "unit.c")
        with open(source, "w") as out:
            out.write(text)
        result = subprocess.run(
            [CLANG, CLANG_TARGET, *COMPILE_DEFINES, "-fsyntax-only",
             "-ferror-limit=0", *options, source],
            capture_output=True, text=True, errors="replace")
    return {int(n) for n in _ERROR_LINE.findall(result.stderr)}


def named_declarations(text, prefix):
    """{name: node} of clang's JSON AST of the top-level declarations of the
    C source text whose names hold `prefix`, bodies included."""
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "unit.c")
        with open(source, "w") as out:
            out.write(text)
        dump = _run([CLANG, CLANG_TARGET, *COMPILE_DEFINES, "-fsyntax-only",
                     "-Xclang", "-ast-dump=json",
                     "-Xclang", "-ast-dump-filter=" + prefix, source])
    found, decoder, position = {}, json.JSONDecoder(), 0
    while True:
        while position < len(dump) and dump[position].isspace():
            position += 1
        if position >= len(dump):
            return found
        node, position = decoder.raw_decode(dump, position)
        if node.get("name"):
            found.setdefault(node["name"], node)


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
_KEEP_KINDS = ('"kind": "FunctionDecl"', '"kind": "TypedefDecl"',
               '"kind": "RecordDecl"')
_FILE_LINE = re.compile(r'^\s*"file": "(.*)",?$')


def _top_level_declarations(stream, wanted_functions):
    """Yields (node, source file) for the parsed top-level FunctionDecl
    (only those named in wanted_functions), TypedefDecl and RecordDecl
    nodes of a clang JSON AST dump, read line by line so the whole dump
    (some 250 MB) is never held at once.  clang indents the dump: a
    top-level node opens with "    {" and its own attributes stand six
    blanks deep.  It names a location's file only where it differs from the
    location printed before, so the file is followed through every line,
    kept or not ("includedFrom" files are not locations)."""
    chunk, keep, is_function = None, None, False
    current_file, node_file, previous = "", "", ""
    for line in stream:
        file_line = _FILE_LINE.match(line)
        if file_line and '"includedFrom"' not in previous:
            current_file = json.loads('"%s"' % file_line.group(1))
        previous = line
        if chunk is None:
            if line.rstrip("\n") == _TOP_LEVEL_OPEN:
                chunk, keep, node_file = [line], None, None
            continue
        if node_file is None and ('"range"' in line or '"name"' in line):
            node_file = current_file
        if keep is None:
            chunk.append(line)   # the node's id comes before its kind
            if '"kind": ' in line:
                keep = any(kind in line for kind in _KEEP_KINDS)
                is_function = "FunctionDecl" in line
        elif keep:
            chunk.append(line)
            if is_function and line.startswith('      "name": '):
                name = json.loads(line.split(":", 1)[1].strip().rstrip(","))
                keep = name in wanted_functions
        if line.startswith("    }"):
            if keep:
                yield (json.loads("".join(chunk).rstrip().rstrip(",")),
                       node_file or current_file)
            chunk = None


class UnitDeclarations:
    """What clang sees in one header unit: the wanted functions' prototypes
    ({name: FunctionDecl node}), every typedef ({name: C type text}, and
    {name: (TypedefDecl node, header)}), and every complete top-level
    record definition as (RecordDecl node, header), in source order.
    Headers are relative to the mingw-w64 include directory, or None."""

    def __init__(self):
        self.functions, self.typedefs, self.typedef_nodes = {}, {}, {}
        self.records = []


def function_declarations(unit, wanted_functions):
    """The UnitDeclarations of the unit."""
    found = UnitDeclarations()
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "unit.c")
        with open(source, "w") as out:
            out.write(UNIT_SOURCES[unit])
        process = subprocess.Popen(
            [CLANG, CLANG_TARGET, *COMPILE_DEFINES, "-fsyntax-only", "-Xclang",
             "-ast-dump=json", source],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
            errors="replace")
        for node, path in _top_level_declarations(process.stdout,
                                                  wanted_functions):
            name = node.get("name")
            header = header_base_name(path)
            if node["kind"] == "TypedefDecl":
                found.typedefs.setdefault(name, node["type"]["qualType"])
                found.typedef_nodes.setdefault(name, (node, header))
            elif node["kind"] == "RecordDecl":
                if node.get("completeDefinition"):
                    found.records.append((node, header))
            else:
                found.functions.setdefault(name, node)
        if process.wait() != 0:
            raise RuntimeError("clang failed on the %s header unit" % unit)
    return found


def evaluate_expressions(unit, expressions):
    """Evaluates every C integer constant expression in the unit; returns
    {expression: value} for those gcc accepts (the others are left out)."""
    values = {}
    names = list(expressions)
    # Two non-zero elements after the value keep gcc from writing the array
    # as zero fill, which the reader does not take.
    probes = _run_probes(unit, ["(long long)(%s), 1LL, 1LL" % e for e in names])
    for index, triple in probes.items():
        values[names[index]] = triple[0]
    return values


_PROBE_LABEL = re.compile(r"^pk_v(\d+):$")
_PROBE_VALUE = re.compile(r"^\s*\.quad\s+(-?\d+)\s*$")
_PROBE_ERROR_LINE = re.compile(r"probe\.c:(\d+):")


def evaluate_constants(unit, names):
    """Evaluates every name as a C constant expression in the unit.  Returns
    {name: (value, size in bytes, gcc type class)} for the names that are
    integer-valued constants at compile time; the others are left out."""
    probes = _run_probes(unit, [
        "(long long)(%s), (long long)sizeof(%s), "
        "(long long)__builtin_classify_type(%s)" % (n, n, n) for n in names])
    return {names[index]: triple for index, triple in probes.items()}


def _run_probes(unit, initialisers):
    """{index: values} for the initialisers (three comma-separated long
    long expressions each, the last two never zero) that gcc evaluates at compile time in the
    unit; those whose lines draw an error are left out."""
    prefix_lines = UNIT_SOURCES[unit].count("\n")
    pending = list(range(len(initialisers)))
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "probe.c")
        assembly = os.path.join(scratch, "probe.s")
        # Each round drops the probes whose lines drew an error; gcc reports
        # them all in one pass, so two or three rounds are enough.
        for _ in range(8):
            with open(source, "w") as out:
                out.write(UNIT_SOURCES[unit])
                for position, index in enumerate(pending):
                    out.write("const long long pk_v%d[3] = {%s};\n"
                              % (position, initialisers[index]))
            result = subprocess.run(
                [GCC, *COMPILE_DEFINES, "-S", "-w", "-O0", "-fmax-errors=0",
                 "-o", assembly, source],
                capture_output=True, text=True, errors="replace")
            if result.returncode == 0:
                return _read_probe_values(assembly, pending)
            failed = {int(n) - prefix_lines - 1
                      for n in _PROBE_ERROR_LINE.findall(result.stderr)}
            if not failed:
                raise RuntimeError("gcc failed on the probe:\n"
                                   + result.stderr[:2000])
            pending = [index for position, index in enumerate(pending)
                       if position not in failed]
    raise RuntimeError("the probe did not settle")


def _read_probe_values(assembly, indexes):
    """{index: (three values)} read back from the probe's assembly; an
    element that is an address rather than a number drops its probe."""
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
    for position, triple in values.items():
        if len(triple) == 3 and None not in triple:
            result[indexes[position]] = tuple(triple)
    return result


_WORD = re.compile(r"[A-Za-z_]\w*")
_QUALIFIER_WORDS = {"const", "CONST", "volatile", "struct", "union", "enum",
                    "IN", "OUT", "OPTIONAL"}
_BUILTIN_WORDS = {"int", "char", "short", "long", "void", "float", "double",
                  "unsigned", "signed"}


@functools.lru_cache(maxsize=None)
def _header_text(header):
    """A header's whole text, read once however many typedefs it holds."""
    for directory in HEADER_DIRS:
        path = os.path.join(directory, header)
        if os.path.exists(path):
            with open(path, errors="replace") as source:
                return source.read()
    return ""


def parameter_names(typedef_node, header):
    """The parameter names a function pointer typedef spells out in its
    header, None where it leaves one unnamed ("HWND, UINT"); () when the
    header text cannot be read."""
    where = typedef_node.get("range", {})
    begin, end = where.get("begin", {}), where.get("end", {})
    if not header or "offset" not in begin or "offset" not in end:
        return ()
    text = _header_text(header)[begin["offset"]:end["offset"] + end.get("tokLen", 0)]
    close = text.rfind(")")
    depth = 0
    for position in range(close, -1, -1):
        depth += {")": 1, "(": -1}.get(text[position], 0)
        if depth == 0:
            break
    else:
        return ()
    pieces, depth, start = [], 0, position + 1
    for index in range(position + 1, close + 1):
        char = text[index]
        depth += {"(": 1, ")": -1}.get(char, 0) if index < close else 0
        if (char == "," and depth == 0) or index == close:
            pieces.append(text[start:index])
            start = index + 1
    names = []
    for piece in pieces:
        words = [w for w in _WORD.findall(piece) if w not in _QUALIFIER_WORDS]
        names.append(words[-1] if len(words) >= 2
                     and words[-1] not in _BUILTIN_WORDS else None)
    return () if names == [None] and not _WORD.findall(pieces[0]) else tuple(names)
