import unittest

from libgen.c_records import RecordCatalog, split_array
from libgen.derived_types import (TypeBuilder, definition_lines, layout_checks,
                                  needed_types)
from libgen.toolchain import UnitDeclarations


def field(name, c_type, bits=None):
    node = {"kind": "FieldDecl", "type": {"qualType": c_type}}
    if name:
        node["name"] = name
    if bits is not None:
        node["isBitfield"] = True
        node["inner"] = [{"kind": "ConstantExpr", "value": str(bits)}]
    return node


def record(key, tag, fields, kind="struct"):
    return {"id": key, "tagUsed": kind, "name": tag, "inner": fields}


def anonymous(key, kind, fields):
    """A record defined in place and the unnamed member of its type."""
    return [{"kind": "RecordDecl", "id": key, "tagUsed": kind,
             "completeDefinition": True, "inner": fields},
            {"kind": "FieldDecl", "isImplicit": True,
             "type": {"qualType": "%s (anonymous at x.h:1:1)" % kind}}]


TYPEDEFS = {"DWORD": "unsigned long", "LONG": "long", "PVOID": "void *",
            "POINT": "struct tagPOINT", "ULONGLONG": "unsigned long long"}
POINT = record("0x1", "tagPOINT", [field("x", "LONG"), field("y", "LONG")])


def builder(*records):
    declarations = UnitDeclarations()
    declarations.typedefs = TYPEDEFS
    declarations.records = [(node, "x.h") for node in (POINT,) + records]
    catalog = RecordCatalog(declarations)
    names = {"0x1": "POINT", "0x2": "OUTER"}
    return TypeBuilder(catalog, names, set()), catalog.by_key["0x2"]


class DerivedTypeTest(unittest.TestCase):
    def test_structure_member_has_the_standalone_type_its_block_needs(self):
        build, outer = builder(record("0x2", "tagOUTER", [
            field("pt", "POINT"), field("corners", "POINT [2]")] + anonymous(
                "0x3", "union", [field("inner", "POINT"), field("w", "DWORD")])))
        ftype = build.standalone(outer)
        block = definition_lines(ftype, held=False)
        self.assertEqual(block[0], "      TYPE, BIND(C) :: OUTER")
        self.assertIn("      TYPE(POINT) :: pt ! POINT", block)
        self.assertIn("      TYPE(POINT) :: corners(2) ! POINT [2]", block)
        self.assertEqual(needed_types(ftype), ["POINT"])
        # An interface body sees nothing of its host: POINT comes first.
        body = definition_lines(ftype)
        self.assertEqual(body[0], "      TYPE, BIND(C) :: POINT")
        self.assertEqual(sum(l.startswith("      TYPE, BIND(C)") for l in body), 2)

    def test_another_c_name_is_a_type_of_its_own_with_the_same_members(self):
        build, outer = builder(record("0x2", "tagOUTER", [field("pt", "POINT")]))
        alias = build.standalone(outer, "OUTER_ALIAS")
        self.assertEqual(alias.name, "OUTER_ALIAS")
        self.assertEqual([m.declaration for m in alias.members], ["TYPE(POINT)"])
        self.assertEqual(layout_checks(alias, "OUTER_ALIAS")[0],
                         ("sizeof(OUTER_ALIAS)", 8, "size -"))

    def test_anonymous_union_is_held_by_its_first_member_that_keeps_the_layout(self):
        # OVERLAPPED: the union's first member has a smaller alignment than
        # the union, which the 8-byte member before it already provides.
        build, outer = builder(record("0x2", "_OVERLAPPED", [
            field("Internal", "ULONGLONG")] + anonymous("0x3", "union", [
                *anonymous("0x4", "struct", [field("Offset", "DWORD"),
                                             field("OffsetHigh", "DWORD")]),
                field("Pointer", "PVOID")])))
        build.choices["0x3"] = 0
        ftype = build.standalone(outer)
        self.assertEqual([m.name for m in ftype.members],
                         ["Internal", "Offset", "OffsetHigh"])
        self.assertIn("Pointer shares its bytes", " ".join(ftype.notes))
        self.assertEqual(build.safe_choice(outer.fields[1].inline), 1)

    def test_union_smaller_member_is_padded_to_the_union_size(self):
        build, outer = builder(record("0x2", "_U", [
            field("w", "DWORD"), field("bytes", "char [12]")], kind="union"))
        ftype = build.standalone(outer)
        self.assertEqual([(m.name, m.bounds) for m in ftype.members],
                         [("w", ()), ("Pad1", (8,))])
        self.assertEqual(ftype.layout()[:2], (12, 4))

    def test_bit_fields_share_a_storage_unit_named_in_a_note(self):
        build, outer = builder(record("0x2", "_DCB", [
            field("fBinary", "DWORD", 1), field("fDtr", "DWORD", 2),
            field("wReserved", "DWORD")]))
        ftype = build.standalone(outer)
        self.assertEqual([m.name for m in ftype.members], ["Bits1", "wReserved"])
        self.assertEqual(ftype.notes, ["Bits1 holds the bit-fields fBinary (bit 0), "
                                       "fDtr (bits 1-2)."])

    def test_layout_checks_name_c_and_fortran_paths(self):
        build, outer = builder(record("0x2", "tagOUTER", [
            field("flag", "char"), field("pt", "POINT")]))
        checks = layout_checks(build.standalone(outer), "OUTER")
        self.assertIn(("__builtin_offsetof(OUTER, pt)", 4, "offset pt"), checks)
        self.assertIn(("sizeof(OUTER)", 12, "size -"), checks)
        self.assertIn(("_Alignof(OUTER)", 4, "align -"), checks)

    def test_array_bounds_read_outermost_first(self):
        self.assertEqual(split_array("WCHAR [2][32]"), ("WCHAR", (2, 32)))
        self.assertEqual(split_array("BYTE []"), ("BYTE", (0,)))


if __name__ == "__main__":
    unittest.main()
