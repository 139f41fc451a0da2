"""Text of the library files and master lists: CR LF lines, blocks headed
by "C*" and the symbol's name."""

CRLF = "\r\n"

FD_PREAMBLE = (
    "C     {library}.FD: constants and structure types of the",
    "C     {library} headers, generated from the mingw-w64 headers: one",
    "C     PARAMETER or one TYPE, BIND(C) per block.  The program needs",
    "C     USE, INTRINSIC :: ISO_C_BINDING and IMPLICIT NONE before it",
    "C     INCLUDEs NAME.FD; NAME.FD and NAME.FI go in either order.",
    "C     Unsigned values keep their bit pattern (0xFFFFFFFF is -1);",
    "C     strings end in C_NULL_CHAR.",
    "C     Members keep their C names; members of anonymous structures",
    "C     and unions belong to the type that holds them.  A structure",
    "C     member has that structure's type (MSG%pt is a TYPE(POINT)); its",
    "C     block comes first, copied with the block that needs it (the",
    "C     + lines of MASTERFD.LIS).  Every line is valid as fixed and as",
    "C     free form.",
)

FI_PREAMBLE = (
    "C     {library}.FI: interfaces of the functions that {dll}",
    "C     exports and abstract interfaces of the callback types of its",
    "C     headers, generated from the mingw-w64 headers.  Each block is",
    "C     its own INTERFACE ... END INTERFACE: INCLUDE NAME.FI among the",
    "C     declarations, after USE, INTRINSIC :: ISO_C_BINDING and",
    "C     IMPLICIT NONE, not inside an INTERFACE block.  The C prototype",
    "C     heads each block.  Where C takes a pointer, TYPE(C_PTR) goes",
    "C     (C_NULL_PTR, C_LOC(X)), or what it points to: a handle as",
    "C     INTEGER(C_INTPTR_T), a string as a CHARACTER scalar or array",
    "C     (left out, NULL), a structure as its derived type under any of",
    "C     its C names, a scalar as a variable of its kind, a wide string",
    "C     as an INTEGER(C_INT16_T) array; the comment at the head of a",
    "C     generic says which arguments take TYPE(C_PTR) in one call.",
    "C     Where C takes MAKEINTRESOURCE, a number such as IDC_ARROW goes",
    "C     in place of the string.  A callback is a BIND(C) procedure",
    "C     written as its abstract interface says, passed as",
    "C     C_FUNLOC(procedure).  Every line is valid as fixed and as free",
    "C     form.",
)

NOT_TRANSLATED = (
    "C",
    "C     Listed in {master} without a block, so that a program naming",
    "C     one finds it in the report's not-found list:",
)

# The version of the library set this generator writes, in the opening
# comment lines of every library file.
GENERATOR_VERSION = "4.0"


def version_line(headers_version):
    return "C     Library set %s (generator %s, mingw-w64 headers %s)" % (
        GENERATOR_VERSION, GENERATOR_VERSION, headers_version)


def sort_key(name):
    return (name.upper(), name)


def block_order(blocks, needs=None):
    """The names of the blocks in the order of a library file: by name,
    except that a block the file holds and another block needs comes just
    before the first block that needs it (`needs` {name: [names]})."""
    needs = needs or {}
    order, placed = [], set()

    def place(name):
        if name in placed:
            return
        placed.add(name)
        for needed in needs.get(name, ()):
            if needed in blocks:
                place(needed)
        order.append(name)
    for name in sorted(blocks, key=sort_key):
        place(name)
    return order


def library_text(preamble, library, dll, blocks, not_translated=None,
                 needs=None, master="MASTERFI.LIS", version=None):
    """One library file: a comment preamble (with the version line when
    given), then for each (name, lines) block in block_order a "C*name"
    header and the block's lines, then a comment line for each {name:
    reason} that has no block (listed in `master`)."""
    lines = [line.format(library=library, dll=dll) for line in preamble]
    if version:
        lines.append(version)
    for name in block_order(blocks, needs):
        lines.append("C*" + name)
        lines.extend(blocks[name])
    if not_translated:
        lines.extend(line.format(master=master) for line in NOT_TRANSLATED)
        for name in sorted(not_translated, key=sort_key):
            line = "C     %s: %s" % (name, not_translated[name])
            if len(line) > 80:
                line = "C     %s:%sC       %s" % (name, CRLF, not_translated[name])
            lines.append(line)
    return CRLF.join(lines) + CRLF


def master_text(entries, needs=None):
    """A master list: one "NAME LIBRARY" line per (name, library) entry,
    each followed by a "+NEEDED" line for every block its block needs
    (`needs` {name: [names]}, the whole closure)."""
    needs = needs or {}
    return "".join("%s %s%s" % (name, library, CRLF) + "".join(
        "+%s%s" % (needed, CRLF) for needed in needs.get(name, ()))
        for name, library in entries)


def master_store_bytes(entries, needs=None):
    """Bytes the extractor's symbol store needs for the list: each name
    plus one terminator (a job that does not know needs lines stores them
    as names too)."""
    needs = needs or {}
    return sum(len(name) + 1 + sum(len(n) + 2 for n in needs.get(name, ()))
               for name, _ in entries)


def layout_check_text(checks):
    """One line per layout check: the header unit, the type, what the
    Fortran side measures ("size -", "offset pt%x" ...) and the C
    expression that must agree."""
    return "".join("%s %s %s %s\n" % (unit, name, measure, expression)
                   for unit, name, (expression, _, measure) in checks)
