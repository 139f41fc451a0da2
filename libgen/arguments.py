"""The ways a Fortran call may pass one argument of a C prototype: the
forms of its dummy argument, by the argument's role.

A handle is an INTEGER(C_INTPTR_T) or a TYPE(C_PTR) (C_NULL_PTR, or the
pointer GlobalAlloc returns); a string a character scalar or array or a
TYPE(C_PTR) (a buffer FormatMessageA allocated); a wide string a UTF-16
INTEGER(C_INT16_T) array or a TYPE(C_PTR); either string, where C passes
MAKEINTRESOURCE, a number as well; a pointer to a structure the
derived type, under any of its C names, or a TYPE(C_PTR); a pointer to an
integer, real or handle scalar a variable of its kind or a TYPE(C_PTR); a
narrow integer by value a default-kind INTEGER or, as earlier library sets
took it, its own kind.  Which combinations of these a generic offers is
generics.py's business."""

from dataclasses import dataclass, field
from typing import Dict, List, Tuple

from .c_types import Untranslatable, argument_type, is_handle

PLAIN, HANDLE, NARROW, STRUCTURE, SCALAR, STRING, RESOURCE, WIDE = (
    "plain", "handle", "narrow", "structure", "scalar", "string", "resource",
    "wide")
# The roles whose arguments C may pass as NULL or as a pointer it holds.
POINTER_ROLES = (HANDLE, STRUCTURE, SCALAR, STRING, RESOURCE, WIDE)

# The keys of a slot's forms.
C_POINTER = "c_ptr"            # TYPE(C_PTR), VALUE: every pointer role
INTEGER = "integer"            # a handle's integer; a narrow integer's 32 bits
EARLIER = "earlier"            # a narrow integer's own kind
TYPED = "typed"                # the structure's or scalar's variable, OPTIONAL
SCALAR_OPTIONAL = "scalar"     # a character scalar, OPTIONAL
ARRAY = "array"                # a character array that must be given
ARRAY_OPTIONAL = "array?"      # a character array, OPTIONAL
NUMBER = "number"              # a resource or atom number
UTF16 = "utf16"                # a UTF-16 array, OPTIONAL
ONLY = "only"                  # the one form of a plain argument

_WIDE_CHARACTER_NAMES = {"WCHAR", "wchar_t"}


@dataclass(frozen=True)
class Form:
    """One way to declare a dummy argument."""
    declaration: str            # e.g. "TYPE(RECT), OPTIONAL"
    kinds: frozenset
    shape: str = ""             # "(*)" for an assumed-size array
    types: Tuple = ()           # FTypes the declaration needs defined

    @property
    def optional(self):
        return self.declaration.endswith(", OPTIONAL")


@dataclass
class Slot:
    """One argument: its role, its forms by key, the derived type's forms
    under its other C names (each must be given, so that the generic can
    tell them from the first name's, which may be left out), the C type
    as the header spells it and whether the header calls it reserved."""
    role: str
    forms: Dict[str, Form]
    aliases: List[Form] = field(default_factory=list)
    c_type: str = ""
    reserved: bool = False


_C_PTR_FORM = Form("TYPE(C_PTR), VALUE", frozenset({"C_PTR"}))
_NUMBER_FORM = Form("INTEGER(C_INTPTR_T), VALUE", frozenset({"C_INTPTR_T"}))
_UTF16_FORM = Form("INTEGER(C_INT16_T), OPTIONAL", frozenset({"C_INT16_T"}), "(*)")
_DEFAULT_INTEGER = Form("INTEGER(C_INT32_T), VALUE", frozenset({"C_INT32_T"}))


class Structures:
    """What the interfaces know of the derived types: the standalone FType
    of every record that is written and those under its other C names, by
    record key; and counts of what the arguments take, for the report."""

    def __init__(self, catalog=None, types_by_key=None, aliases_by_key=None):
        self.catalog = catalog
        self.types_by_key = types_by_key or {}
        self.aliases_by_key = aliases_by_key or {}
        self.taken = set()   # keys of the records asked for and written
        self.typed_arguments = 0
        self.scalar_arguments = 0   # pointers to scalars taken by reference
        self.renamed_arguments = 0  # C parameter names spelt otherwise
        self.narrow_arguments = 0   # integers narrower than 32 bits by value
        self.other_names = 0        # structure arguments' other type names
        self.type_names = set()     # the names of the structures taken
        self.arrangement = None     # of the interface block built
        self.extensions = {}        # its specifics for other C names, by name

    def of(self, ctype):
        """(FType, [FTypes under its other C names]) of a record CType, or
        (None, []) when none is written."""
        if self.catalog is None or ctype.form != "record":
            return None, []
        record = self.catalog.record_of(ctype)
        ftype = self.types_by_key.get(record.key) if record else None
        if ftype is None:
            return None, []
        self.taken.add(record.key)
        return ftype, list(self.aliases_by_key.get(record.key, []))


def c_form(fortran_type):
    """The form of a C type's plain declaration: by value, or an optional
    assumed-size array for a string."""
    attributes = (", VALUE" if fortran_type.by_value else
                  ", OPTIONAL" if fortran_type.assumed_size else "")
    return Form(fortran_type.declaration + attributes,
                frozenset(fortran_type.kinds),
                "(*)" if fortran_type.assumed_size else "")


def is_wide_string(ctype):
    """Whether a pointer is a wide-character string (LPCWSTR, LPWSTR,
    LPOLESTR): UTF-16 text ending in 0.  A BSTR is not: it carries its
    length before the text, so only SysAllocString makes one."""
    return ctype.form == "pointer" and not is_handle(ctype) \
        and "BSTR" not in ctype.names \
        and ctype.target.form == "int" and ctype.target.size == 2 \
        and bool(_WIDE_CHARACTER_NAMES.intersection(ctype.target.names))


def scalar_target(ctype):
    """The Fortran type of what a pointer points to when that is an
    integer, real or handle scalar (LPDWORD, PFLOAT, PHANDLE), else None.
    A wide-character string (LPCWSTR) and bytes (LPBYTE lpData) are
    buffers, as void * is."""
    if ctype.form != "pointer" or is_handle(ctype):
        return None
    target = ctype.target
    if _WIDE_CHARACTER_NAMES.intersection(target.names) or \
            (target.form == "int" and target.size == 1):
        return None
    if target.form in ("int", "real") or is_handle(target):
        return argument_type(target)
    return None


def argument_slot(ctype, structures, resource=False, callback=False,
                  c_name=None, c_type="", exact_kinds=False):
    """The Slot of one argument of C type `ctype`.  A callback's arguments
    are what C passes, one form each: structures typed, other pointers
    C_PTR, strings character arrays, narrow integers their own kind.  With
    `exact_kinds` a narrow integer takes its own kind only (a macro's
    function per kind, whose generic offers the other kinds itself)."""
    slot = _slot(ctype, structures, resource, callback, exact_kinds)
    slot.c_type = " ".join(c_type.split())
    slot.reserved = slot.role in POINTER_ROLES and \
        "reserved" in (c_name or "").lower()
    return slot


def _slot(ctype, structures, resource, callback, exact_kinds=False):
    if ctype.form == "record":
        ftype, _ = structures.of(ctype)
        if ftype is None:
            raise Untranslatable("structure passed by value")
        structures.typed_arguments += 1
        return Slot(PLAIN, {ONLY: Form("TYPE(%s), VALUE" % ftype.name,
                                       frozenset(), "", (ftype,))})
    if ctype.form == "pointer" and ctype.target.form == "record" \
            and not is_handle(ctype):
        ftype, aliases = structures.of(ctype.target)
        if ftype is not None:
            if callback:
                return Slot(PLAIN, {ONLY: Form("TYPE(%s)" % ftype.name,
                                               frozenset(), "", (ftype,))})
            structures.typed_arguments += 1
            return Slot(STRUCTURE, {
                TYPED: Form("TYPE(%s), OPTIONAL" % ftype.name, frozenset(), "",
                            (ftype,)),
                C_POINTER: _C_PTR_FORM},
                [Form("TYPE(%s)" % alias.name, frozenset(), "", (alias,))
                 for alias in aliases])
    if not callback and is_wide_string(ctype):
        wide = {UTF16: _UTF16_FORM, C_POINTER: _C_PTR_FORM}
        if resource:
            wide[NUMBER] = _NUMBER_FORM   # LoadCursorW(0, IDC_ARROW)
        return Slot(WIDE, wide)
    scalar = None if callback else scalar_target(ctype)
    if scalar is not None:
        structures.scalar_arguments += 1
        return Slot(SCALAR, {TYPED: Form(scalar.declaration + ", OPTIONAL",
                                         frozenset(scalar.kinds)),
                             C_POINTER: _C_PTR_FORM})
    form = c_form(argument_type(ctype))
    if callback:
        if form.shape:
            form = Form("CHARACTER(KIND=C_CHAR)", form.kinds, form.shape)
        return Slot(PLAIN, {ONLY: form})
    if is_handle(ctype):
        return Slot(HANDLE, {INTEGER: form, C_POINTER: _C_PTR_FORM})
    if ctype.form == "int" and ctype.size < 4 and not exact_kinds:
        # Under the x64 calling convention every argument fills a whole
        # 8-byte register or stack slot, and a callee taking a BYTE, WORD
        # or SHORT reads only that many low bits of it, the rest being
        # undefined for it.  A default INTEGER in the slot therefore passes
        # exactly what C's conversion to the narrow type passes: its low
        # 8 or 16 bits (GetSidLengthRequired(258) sees 2; the round
        # trip's CCALLS checks it under wine).
        structures.narrow_arguments += 1
        return Slot(NARROW, {INTEGER: _DEFAULT_INTEGER, EARLIER: form})
    if not form.shape:
        return Slot(PLAIN, {ONLY: form})
    strings = {ARRAY_OPTIONAL: form,
               ARRAY: Form("CHARACTER(KIND=C_CHAR)", form.kinds, form.shape),
               SCALAR_OPTIONAL: Form("CHARACTER(KIND=C_CHAR), OPTIONAL",
                                     form.kinds),
               C_POINTER: _C_PTR_FORM}
    if resource:
        strings[NUMBER] = _NUMBER_FORM
        return Slot(RESOURCE, strings)
    return Slot(STRING, strings)
