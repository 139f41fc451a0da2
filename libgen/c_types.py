"""Reads C type names as clang prints them and maps them to ISO_C_BINDING
declarations of a BIND(C) interface body."""

import re
from dataclasses import dataclass, field, replace
from typing import List, Optional

_QUALIFIERS = re.compile(
    r"\b(const|volatile|restrict|__restrict|__unaligned|__ptr64|__ptr32)\b")
_BUILTIN_INTEGERS = {
    "signed char": 1, "unsigned char": 1,
    "short": 2, "short int": 2, "unsigned short": 2, "unsigned short int": 2,
    "int": 4, "signed": 4, "signed int": 4, "unsigned": 4, "unsigned int": 4,
    "long": 4, "long int": 4, "unsigned long": 4, "unsigned long int": 4,
    "long long": 8, "long long int": 8, "unsigned long long": 8,
    "unsigned long long int": 8, "__int64": 8, "unsigned __int64": 8,
}
_BUILTIN_REALS = {"float": 4, "double": 8}
_HANDLE_NAME = re.compile(r"^H[A-Z0-9_]*$|_HANDLE$")
# An argument list is a char pointer in these headers, but not a string.
_VA_LIST_NAMES = {"va_list", "__gnuc_va_list", "__builtin_va_list"}
_POINTER_SIZED_NAMES = {"SIZE_T", "SSIZE_T", "size_t", "ssize_t", "intptr_t",
                        "uintptr_t", "ptrdiff_t", "WPARAM", "LPARAM",
                        "LRESULT"}


@dataclass
class CType:
    """A resolved C type: what it is, its size for numbers, what a pointer
    points to, and the typedef names that led to it (outermost first)."""
    form: str                  # int char real bool void record pointer funptr
    size: int = 0              # function unknown
    target: Optional["CType"] = None
    names: List[str] = field(default_factory=list)
    record: str = ""           # "struct tag" text of a record


def strip_attributes(text):
    """Removes every __attribute__((...)) group."""
    while True:
        start = text.find("__attribute__")
        if start < 0:
            return text
        depth, position = 0, text.find("(", start)
        while position < len(text):
            if text[position] == "(":
                depth += 1
            elif text[position] == ")":
                depth -= 1
                if depth == 0:
                    break
            position += 1
        text = text[:start] + text[position + 1:]


def resolve(text, typedefs, depth=0):
    """The CType of a C type name, following typedefs."""
    text = " ".join(_QUALIFIERS.sub(" ", strip_attributes(text)).split())
    if depth > 40:
        return CType("unknown")
    if "(" in text:
        if re.search(r"\(\s*\*\s*\)\s*\(", text):
            return CType("funptr")
        if re.search(r"\(\s*\*\s*\)\s*\[", text):
            return CType("pointer", target=CType("unknown"))
        return CType("function")
    if text.endswith("]"):
        element = text[:text.rfind("[")].strip()
        return CType("pointer", target=resolve(element, typedefs, depth + 1))
    if text.endswith("*"):
        target = resolve(text[:-1].strip(), typedefs, depth + 1)
        if target.form == "function":
            return CType("funptr")
        return CType("pointer", target=target)
    if text == "char":
        return CType("char", 1)
    if text in _BUILTIN_INTEGERS:
        return CType("int", _BUILTIN_INTEGERS[text])
    if text in _BUILTIN_REALS:
        return CType("real", _BUILTIN_REALS[text])
    if text == "_Bool":
        return CType("bool", 1)
    if text == "void":
        return CType("void")
    if text.startswith(("struct ", "union ")):
        return CType("record", record=text)
    if text.startswith("enum "):
        return CType("int", 4)
    if text in typedefs:
        inner = resolve(typedefs[text], typedefs, depth + 1)
        names = inner.names if _names_pointer(text, typedefs) else \
            [text] + inner.names
        return replace(inner, names=names)
    return CType("unknown")


def _names_pointer(name, typedefs):
    """Whether a typedef name follows the headers' convention for a pointer
    to another typedef: P or LP before that type's name (PLSA_HANDLE for
    LSA_HANDLE *, however the header spells the declaration)."""
    return any(name.startswith(prefix) and name[len(prefix):] in typedefs
               for prefix in ("P", "LP"))


class Untranslatable(Exception):
    """A C type that a Fortran interface body cannot express."""


@dataclass(frozen=True)
class FortranType:
    declaration: str      # e.g. "INTEGER(C_INT32_T)"
    kinds: tuple          # ISO_C_BINDING names the declaration needs
    by_value: bool        # VALUE attribute for a dummy argument
    assumed_size: bool    # dummy argument declared name(*)


def integer_type(ctype):
    if ctype.size == 8 and any(n.endswith("_PTR") or n in _POINTER_SIZED_NAMES
                               for n in ctype.names):
        kind = "C_INTPTR_T"
    else:
        kind = "C_INT%d_T" % (8 * ctype.size)
    return FortranType("INTEGER(%s)" % kind, (kind,), True, False)


def is_handle(ctype):
    """A pointer type named as a handle (HWND, HANDLE, SC_HANDLE ...)."""
    return ctype.form == "pointer" and any(_HANDLE_NAME.search(n)
                                           for n in ctype.names)


def argument_type(ctype):
    """The declaration of a dummy argument of this C type.  Handles are
    pointer-sized integers passed by value, so that constants such as
    INVALID_HANDLE_VALUE can be passed and compared; char pointers are
    character arrays; every other pointer is a C_PTR by value."""
    if ctype.form == "int":
        return integer_type(ctype)
    if ctype.form == "char":
        return FortranType("CHARACTER(KIND=C_CHAR)", ("C_CHAR",), True, False)
    if ctype.form == "real":
        kind = "C_FLOAT" if ctype.size == 4 else "C_DOUBLE"
        return FortranType("REAL(%s)" % kind, (kind,), True, False)
    if ctype.form == "bool":
        return FortranType("LOGICAL(C_BOOL)", ("C_BOOL",), True, False)
    if is_handle(ctype):
        return FortranType("INTEGER(C_INTPTR_T)", ("C_INTPTR_T",), True, False)
    if ctype.form == "pointer" and ctype.target.form == "char" \
            and not _VA_LIST_NAMES.intersection(ctype.names):
        return FortranType("CHARACTER(KIND=C_CHAR)", ("C_CHAR",), False, True)
    if ctype.form == "pointer":
        return FortranType("TYPE(C_PTR)", ("C_PTR",), True, False)
    if ctype.form == "funptr":
        return FortranType("TYPE(C_FUNPTR)", ("C_FUNPTR",), True, False)
    if ctype.form == "record":
        raise Untranslatable("structure passed by value")
    raise Untranslatable("argument of unsupported type")


def result_type(ctype):
    """The declaration of a function result of this C type, or None for
    void (the function becomes a SUBROUTINE)."""
    if ctype.form == "void":
        return None
    if ctype.form == "pointer" and not is_handle(ctype):
        return FortranType("TYPE(C_PTR)", ("C_PTR",), False, False)
    if ctype.form == "record":
        raise Untranslatable("returns a structure")
    try:
        return argument_type(ctype)
    except Untranslatable:
        raise Untranslatable("result of unsupported type")
