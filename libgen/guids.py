"""GUID constants (DEFINE_GUID, DEFINE_KNOWN_FOLDER) and the initializer
macros of small structures (SECURITY_NT_AUTHORITY, SYSTEM_LUID) of the
libraries' headers, as PARAMETERs of the structure's derived type:
TYPE(GUID), PARAMETER :: FOLDERID_Documents = GUID(...), ready to pass
where a function takes a REFKNOWNFOLDERID or a PSID_IDENTIFIER_AUTHORITY."""

import re
from collections import Counter
from dataclasses import dataclass
from typing import Tuple

from . import toolchain
from .constants import wrap_signed
from .fortran_names import FORTRAN_NAME
from .libraries import LIBRARIES, MAIN_UNIT, UNIT_SOURCES, library_of_header
from .source_form import comment_lines, integer_literal, statement_lines

# The shell's GUID headers, which shlobj.h leaves out or only pulls in:
# their known folders, interface and class identifiers go with SHELL32.
GUID_HEADERS = {"knownfolders.h": "SHELL32", "shlguid.h": "SHELL32",
                "shobjidl.h": "SHELL32"}
# shlguid.h includes knownfolders.h, which has no include guard: a second
# inclusion would define every known folder twice.
GUID_UNIT = "#define INITGUID\n" + UNIT_SOURCES[MAIN_UNIT] + "".join(
    "#include <%s>\n" % header for header in GUID_HEADERS
    if header != "knownfolders.h")
_DEFINITION = re.compile(
    r"\bconst\s+GUID\s+(?:__attribute__\s*\(\([^)]*\)\)\s*)?([A-Za-z]\w*)"
    r"\s*=\s*\{([^;]*)\}\s*;")
_NUMBER = re.compile(r"^\(?\s*(0[xX][0-9a-fA-F]+|\d+)[uUlL]*\s*\)?$")
# Initializer macros: the shape of their values and the type they fill.
INITIALIZER_TYPES = (
    (re.compile(r"_AUTHORITY$"), (1,) * 6, "SID_IDENTIFIER_AUTHORITY"),
    (re.compile(r"_LUID$"), (1, 1), "LUID"),
    (re.compile(r"."), (1, 1, 1, 8), "GUID"),
)
GUID_SHAPE = (1, 1, 1, 8)
# Bytes of each component of those types, for the bit patterns.
COMPONENT_BYTES = {"SID_IDENTIFIER_AUTHORITY": (1,), "LUID": (4, 4),
                   "GUID": (4, 2, 2, 1)}


@dataclass(frozen=True)
class StructureConstant:
    """A PARAMETER of a derived type: its name, type, library, the values
    of its components ((values of an array) or (value)), and its source."""
    name: str
    type_name: str
    library: int
    values: Tuple[Tuple[int, ...], ...]
    origin: str


def parse_initializer(text):
    """The values of a brace initializer "{ 1, 2, { 3, 4 } }" grouped by
    component (((1,), (2,), (3, 4))), or None when a value is not a
    number."""
    groups, text = [], " ".join(text.split())
    inner = re.sub(r"^\{(.*)\}$", r"\1", text.strip())
    for part in re.findall(r"\{[^{}]*\}|[^,{}]*[^,{}\s][^,{}]*", inner):
        items = part.strip("{} ").split(",") if part.strip().startswith("{") \
            else [part]
        values = []
        for item in items:
            number = _NUMBER.match(item.strip())
            if not number:
                return None
            values.append(int(number.group(1), 0))
        groups.append(tuple(values))
    return tuple(groups)


def _shape(groups):
    return tuple(len(g) for g in groups)


def guid_definitions(preprocessed):
    """[(name, header, value groups)] of the GUIDs the preprocessed text
    (INITGUID defined) defines, in the order met."""
    found = []
    for path, line in toolchain.split_by_file(preprocessed):
        for definition in _DEFINITION.finditer(line):
            groups = parse_initializer("{%s}" % definition.group(2))
            if groups is not None and _shape(groups) == GUID_SHAPE:
                found.append((definition.group(1),
                              toolchain.header_base_name(path), groups))
    return found


def initializer_macros(preprocessed):
    """[(name, header, type name, value groups)] of the object-like macros
    whose body is a brace initializer of numbers of a known shape."""
    found = []
    for path, line in toolchain.split_by_file(preprocessed):
        define = re.match(r"^#define ([A-Za-z]\w*)\s+(\{[^;]*\})\s*;?$", line)
        if not define:
            continue
        groups = parse_initializer(define.group(2))
        if groups is None:
            continue
        for pattern, shape, type_name in INITIALIZER_TYPES:
            if pattern.search(define.group(1)) and _shape(groups) == shape:
                if len(COMPONENT_BYTES[type_name]) == 1:   # one array member
                    groups = (tuple(v for group in groups for v in group),)
                found.append((define.group(1), toolchain.header_base_name(path),
                              type_name, groups))
                break
    return found


def library_of_guid_header(header):
    if header in GUID_HEADERS:
        return next(i for i, lib in enumerate(LIBRARIES)
                    if lib.name == GUID_HEADERS[header])
    return library_of_header(header) if header else None


def constant_lines(constant):
    """The PARAMETER of a structure constant, its components given as the
    bit patterns of the type's signed kinds."""
    parts = []
    for values, size in zip(constant.values, COMPONENT_BYTES[constant.type_name]):
        signed = [integer_literal(wrap_signed(v, size), "C_INT32_T")
                  for v in values]
        parts.append("[%s]" % ", ".join(signed) if len(values) > 1 or
                     constant.type_name == "SID_IDENTIFIER_AUTHORITY"
                     else signed[0])
    return comment_lines(constant.origin) + statement_lines(
        "TYPE(%s), PARAMETER :: %s = %s(%s)" % (
            constant.type_name, constant.name, constant.type_name,
            ", ".join(parts)))


def guid_text(groups):
    """The registry spelling of a GUID's value."""
    data1, data2, data3, data4 = groups
    return "{%08X-%04X-%04X-%s-%s}" % (
        data1[0], data2[0], data3[0], "".join("%02X" % b for b in data4[:2]),
        "".join("%02X" % b for b in data4[2:]))


def collect_structure_constants(type_library, taken):
    """({library index: {name: lines}}, {name: [needed type]}, Counter of
    the constants by family, [names longer than a Fortran name may be]):
    the GUIDs and the initializer macros of the libraries' headers whose
    types are written (`type_library` {type name: library index}), each in
    the later of its header's library and its type's, so that the job
    meets the type first."""
    preprocessed = toolchain.preprocess(GUID_UNIT, "-dD")
    candidates = [(name, header, "GUID", groups, "%s %s of %s." % (
        name, guid_text(groups), header))
        for name, header, groups in guid_definitions(preprocessed)]
    candidates += [(name, header, type_name, groups,
                    "%s: the initializer macro of %s." % (name, header))
                   for name, header, type_name, groups in
                   initializer_macros(preprocessed)]
    blocks, needs, families, seen, too_long = {}, {}, Counter(), set(), []
    for name, header, type_name, groups, origin in candidates:
        index = library_of_guid_header(header)
        if index is None or type_name not in type_library or \
                name.upper() in taken or name.upper() in seen:
            continue
        if not FORTRAN_NAME.match(name):
            too_long.append(name)
            continue
        seen.add(name.upper())
        constant = StructureConstant(name, type_name,
                                     max(index, type_library[type_name]),
                                     groups, origin)
        blocks.setdefault(constant.library, {})[name] = constant_lines(constant)
        needs[name] = [type_name]
        families[_family(name, type_name)] += 1
    return blocks, needs, families, too_long


def _family(name, type_name):
    if type_name != "GUID":
        return type_name
    prefix = name.split("_")[0]
    return prefix + "_" if prefix in ("FOLDERID", "IID", "CLSID") else \
        "other GUID"
