"""Integer constants of the headers: #define names and enumerators, each
assigned to the library of its defining header, with its value and kind."""

import bisect
import re
from dataclasses import dataclass

from .libraries import library_of_header
from .toolchain import header_base_name, split_by_file

_DEFINE = re.compile(r"^#define ([A-Za-z]\w*)(\(?)\s*(.*)$")
_UNDEF = re.compile(r"^#undef (\w+)")
_ENUM_BODY = re.compile(r"\benum\b\s*(?:\w+\s*)?\{")
_IDENTIFIER = re.compile(r"\s*([A-Za-z_]\w*)")

# gcc's __builtin_classify_type results that denote integer values.
INTEGER_CLASSES = {1, 2, 3, 4}
POINTER_CLASS = 5


def macro_candidates(preprocessed):
    """{name: set of headers} for object-like macros that could be integer
    constants: defined in a mingw-w64 header, still defined at the end, with
    a non-empty body holding no string literal."""
    headers_of, body_of = {}, {}
    for path, line in split_by_file(preprocessed):
        if line.startswith("#undef "):
            undef = _UNDEF.match(line)
            if undef:
                body_of.pop(undef.group(1), None)
            continue
        define = _DEFINE.match(line)
        if not define:
            continue
        name, parameters, body = define.groups()
        header = header_base_name(path)
        if parameters or header is None:
            body_of.pop(name, None)
            continue
        headers_of.setdefault(name, set()).add(header)
        body_of[name] = body
    return {name: headers_of[name] for name, body in body_of.items()
            if body and '"' not in body}


_STRING_BODY = re.compile(r'^(?:"(?:[^"\\]|\\.)*"\s*)+$')
_RECORD_BODY = re.compile(r"^(?:struct|union) [A-Za-z_]\w*$")
_ESCAPES = {"\\": "\\", '"': '"', "'": "'", "?": "?"}


def final_macros(preprocessed):
    """{name: (header, body)} of the object-like macros of mingw-w64
    headers still defined at the end of the text."""
    found = {}
    for path, line in split_by_file(preprocessed):
        undef = _UNDEF.match(line)
        if undef:
            found.pop(undef.group(1), None)
            continue
        define = _DEFINE.match(line)
        if not define:
            continue
        name, parameters, body = define.groups()
        header = header_base_name(path)
        if parameters or header is None:
            found.pop(name, None)
        else:
            found[name] = (header, body.strip())
    return found


def record_macros(preprocessed):
    """{name: "struct tag"} of the macros that stand for a structure or a
    union (#define RASENTRYA struct tagRASENTRYA)."""
    return {name: body for name, (_, body) in final_macros(preprocessed).items()
            if _RECORD_BODY.match(body)}


def string_macros(preprocessed):
    """{name: (header, text)} of the macros whose body is a narrow string
    literal of printable characters (#define PROGRESS_CLASSA
    "msctls_progress32"), adjacent literals joined, escapes read."""
    found = {}
    for name, (header, body) in final_macros(preprocessed).items():
        if not _STRING_BODY.match(body):
            continue
        text = string_value(body)
        if text is not None:
            found[name] = (header, text)
    return found


def string_value(body):
    """The characters of C string literals, or None when one is not a
    printable character or a simple escape of one."""
    text, position = "", 0
    for literal in re.findall(r'"((?:[^"\\]|\\.)*)"', body):
        position = 0
        while position < len(literal):
            char = literal[position]
            if char == "\\":
                char = _ESCAPES.get(literal[position + 1:position + 2])
                if char is None:
                    return None
                position += 1
            if not " " <= char <= "~":
                return None
            text += char
            position += 1
    return text


def enumerator_candidates(preprocessed):
    """{name: set of headers} for the enumerators of every enum body that a
    mingw-w64 header declares."""
    pieces, owners = [], []
    for path, line in split_by_file(preprocessed):
        if line.startswith("#"):
            continue
        pieces.append(line)
        owners.append(header_base_name(path))
    joined = "\n".join(pieces)
    line_starts = [0]
    for piece in pieces:
        line_starts.append(line_starts[-1] + len(piece) + 1)
    result = {}
    for match in _ENUM_BODY.finditer(joined):
        header = owners[bisect.bisect_right(line_starts, match.start()) - 1]
        end = joined.find("}", match.end())
        if header is None or end < 0:
            continue
        for item in _split_top_level(joined[match.end():end]):
            identifier = _IDENTIFIER.match(item)
            if identifier:
                result.setdefault(identifier.group(1), set()).add(header)
    return result


def _split_top_level(text):
    depth, start, items = 0, 0, []
    for position, char in enumerate(text):
        if char == "(":
            depth += 1
        elif char == ")":
            depth -= 1
        elif char == "," and depth == 0:
            items.append(text[start:position])
            start = position + 1
    items.append(text[start:])
    return items


def assign_libraries(headers_by_name):
    """{name: library index} for the names whose defining headers belong to
    a library; when headers of several libraries define one name, the
    earliest library wins."""
    assigned = {}
    for name, headers in headers_by_name.items():
        owners = [library_of_header(h) for h in headers]
        owners = [o for o in owners if o is not None]
        if owners:
            assigned[name] = min(owners)
    return assigned


@dataclass(frozen=True)
class Constant:
    name: str
    library: int
    kind: str     # ISO_C_BINDING kind name
    value: int    # already wrapped into the kind's signed range


def wrap_signed(value, size):
    """The value's bit pattern in `size` bytes, read as a signed number (the
    unsigned Win32 types have no Fortran counterpart)."""
    bits = 8 * size
    value &= (1 << bits) - 1
    return value - (1 << bits) if value >= 1 << (bits - 1) else value


# The constants of LOGFONTA's BYTE members (lfCharSet, lfOutPrecision,
# lfClipPrecision, lfQuality, lfPitchAndFamily; TEXTMETRICA's tmCharSet).
# One of 128 to 255 is written as an INTEGER(C_INT8_T) of its bit pattern
# (RUSSIAN_CHARSET = -52), so that assigning it to the member compiles and
# stores the C value; an INTEGER(C_INT32_T) of 204 would overflow the member.
_BYTE_MEMBER_CONSTANT = re.compile(
    r"_CHARSET$|^CLIP_|^OUT_\w*_PRECIS$|_QUALITY$|^FF_|_PITCH$")


def byte_member_constant(name, value):
    return bool(_BYTE_MEMBER_CONSTANT.search(name)) and 128 <= value <= 255


def make_constant(name, library, probe):
    """Constant for a probe result (value, size, type class), or None when the
    value is not an integer or a handle."""
    value, size, type_class = probe
    if type_class == POINTER_CLASS:
        return Constant(name, library, "C_INTPTR_T", wrap_signed(value, 8))
    if type_class not in INTEGER_CLASSES or size not in (1, 2, 4, 8):
        return None
    kind = {1: "C_INT8_T", 2: "C_INT16_T", 4: "C_INT32_T", 8: "C_INT64_T"}
    if byte_member_constant(name, value):
        size = 1
    return Constant(name, library, kind[size], wrap_signed(value, size))
