"""The structures and unions of the headers as clang sees them: their
members, typedef names and defining headers, with the natural C layout that
the Fortran rendering must reproduce."""

import re
from dataclasses import dataclass, field
from typing import List, Optional

from .c_types import Untranslatable, resolve

_ANONYMOUS = ("(anonymous", "(unnamed")
_ARRAY_BOUND = re.compile(r"\[(\d*)\]\s*$")


@dataclass
class CField:
    """One member: its name (None for an anonymous member), its C type as
    clang prints it, its width when a bit-field, and the record when its
    type is one defined in place."""
    name: Optional[str]
    type_text: str
    bits: Optional[int] = None
    inline: Optional["CRecord"] = None


@dataclass
class CRecord:
    key: str                    # clang's node id
    kind: str                   # struct or union
    tag: Optional[str]
    fields: List[CField] = field(default_factory=list)
    header: Optional[str] = None
    names: List[str] = field(default_factory=list)  # typedef names, in order


def _bit_width(node):
    for child in node.get("inner", []):
        if "value" in child:
            return int(child["value"])
    raise Untranslatable("bit-field of unknown width")


def read_record(node, header, by_text):
    """The CRecord of a RecordDecl node; records defined inside it (named
    or in place) are read too, and every record with a tag is entered in
    by_text under "struct tag" / "union tag"."""
    record = CRecord(node["id"], node.get("tagUsed", "struct"),
                     node.get("name"), header=header)
    last_nested = None
    for child in node.get("inner", []):
        kind = child.get("kind")
        if kind == "RecordDecl" and child.get("completeDefinition"):
            last_nested = read_record(child, header, by_text)
        elif kind == "FieldDecl":
            text = child["type"]["qualType"]
            inline = last_nested if any(a in text for a in _ANONYMOUS) else None
            try:
                bits = _bit_width(child) if child.get("isBitfield") else None
            except Untranslatable:
                bits = -1
            record.fields.append(CField(child.get("name"), text, bits, inline))
    if record.tag:
        by_text.setdefault("%s %s" % (record.kind, record.tag), record)
    return record


def split_array(text):
    """(element type text, C bounds outermost first) of a member's type;
    a bound of 0 stands for an open one ("[]")."""
    bounds = []
    while True:
        match = _ARRAY_BOUND.search(text)
        if not match:
            return text.strip(), tuple(reversed(bounds))
        bounds.append(int(match.group(1) or 0))
        text = text[:match.start()]


class RecordCatalog:
    """Every complete record of a header unit, found by its type text or by
    the typedef that names it."""

    def __init__(self, declarations):
        self.typedefs = declarations.typedefs
        self.by_text, self.by_key = {}, {}
        self.in_order = []
        for node, header in declarations.records:
            record = read_record(node, header, self.by_text)
            self.by_key[record.key] = record
            self.in_order.append(record)
        for name, (node, _) in declarations.typedef_nodes.items():
            record = self._owned_record(node)
            if record is None:
                continue
            self.by_text.setdefault(node["type"]["qualType"], record)
            if name not in record.names:
                record.names.append(name)

    def _owned_record(self, typedef_node):
        """The record a typedef names directly (typedef struct X {...} N,
        typedef struct X N), or None (pointers, aliases of typedefs)."""
        for child in typedef_node.get("inner", []):
            if child.get("kind") != "ElaboratedType":
                continue
            owned = child.get("ownedTagDecl")
            if owned and owned.get("id") in self.by_key:
                return self.by_key[owned["id"]]
            text = child["type"]["qualType"]
            return self.by_text.get(text)
        return None

    def record_of(self, ctype):
        """The record of a resolved record CType, or None when incomplete."""
        return self.by_text.get(ctype.record)

    def resolve(self, text):
        return resolve(text, self.typedefs)


def align_up(offset, alignment):
    return (offset + alignment - 1) // alignment * alignment
