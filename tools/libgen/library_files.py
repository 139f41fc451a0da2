"""Text of the library files and master lists: CR LF lines, blocks headed
by "C*" and the symbol's name."""

CRLF = "\r\n"

FD_PREAMBLE = (
    "C     {library}.FD: integer constants of the {library} headers, one",
    "C     PARAMETER per block, generated from the mingw-w64 headers.",
    "C     Kinds are ISO_C_BINDING names: the program needs",
    "C     USE, INTRINSIC :: ISO_C_BINDING before it INCLUDEs NAME.FD.",
    "C     Unsigned values keep their bit pattern (0xFFFFFFFF is -1).",
)

FI_PREAMBLE = (
    "C     {library}.FI: interface bodies of the functions that",
    "C     {dll} exports, generated from the mingw-w64 headers.",
    "C     INCLUDE NAME.FI inside an INTERFACE block.  Handles are",
    "C     INTEGER(C_INTPTR_T) by value, char pointers OPTIONAL CHARACTER",
    "C     arrays (an argument left out passes NULL), other pointers",
    "C     TYPE(C_PTR) by value; the C type follows the !.",
)


def sort_key(name):
    return (name.upper(), name)


def library_text(preamble, library, dll, blocks):
    """One library file: a comment preamble, then for each (name, lines)
    block in name order a "C*name" header and the block's lines."""
    lines = [line.format(library=library, dll=dll) for line in preamble]
    for name in sorted(blocks, key=sort_key):
        lines.append("C*" + name)
        lines.extend(blocks[name])
    return CRLF.join(lines) + CRLF


def master_text(entries):
    """A master list: one "NAME LIBRARY" line per (name, library) entry."""
    return "".join("%s %s%s" % (name, library, CRLF)
                   for name, library in entries)


def master_store_bytes(entries):
    """Bytes the extractor's symbol store needs for the list: each name
    plus one terminator."""
    return sum(len(name) + 1 for name, _ in entries)
