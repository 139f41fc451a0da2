"""The other names that the headers' macros give to functions, types,
callback types and string constants.  "#define MessageBox
__MINGW_NAME_AW(MessageBox)" makes MessageBox C's name of MessageBoxA when
UNICODE is not defined (a neutral name: MessageBoxW when it is); "#define
ZeroMemory RtlZeroMemory" makes ZeroMemory a name of RtlZeroMemory however
it is compiled.  A C program writes these names, so the library set gives
them the blocks of what they stand for."""

import re
from dataclasses import dataclass
from typing import Tuple

from .constants import final_macros

_IDENTIFIER = re.compile(r"^[A-Za-z_]\w*$")
# __MINGW_NAME_AW(f) is fA without UNICODE and fW with it;
# __MINGW_NAME_AW_EXT(f, e) fAe; the UAW forms put "_" before the letter
# (f_A, f_A_e).
_NAME_MACRO = re.compile(
    r"^__MINGW_NAME_(U?)AW(_EXT)?\(\s*(\w+)\s*(?:,\s*(\w+)\s*)?\)$")


def _step(body, letter):
    """The name a macro body stands for, one step on, or None when the
    body is not a name (a string, an expression)."""
    if _IDENTIFIER.match(body):
        return body
    call = _NAME_MACRO.match(body)
    if call is None:
        return None
    underscore, ext, name, extension = call.groups()
    if bool(ext) != bool(extension):
        return None
    joint = "_" if underscore else ""
    tail = (joint + extension) if extension else ""
    return name + joint + letter + tail


def macro_chains(preprocessed, letter="A"):
    """{macro name: (header, (the names it stands for, nearest first))}
    for the object-like macros of mingw-w64 headers whose body is a name
    (or a __MINGW_NAME_ call), followed through the macros those names are
    in turn; `letter` is what the __MINGW_NAME_ calls append ("A" in a
    unit compiled without UNICODE, "W" with it)."""
    bodies = final_macros(preprocessed)
    chains = {}
    for name, (header, body) in bodies.items():
        chain, current = [], name
        while current in bodies and len(chain) < 20:
            following = _step(bodies[current][1], letter)
            if following is None or following in chain or following == name:
                break
            chain.append(following)
            current = following
        if chain:
            chains[name] = (header, tuple(chain))
    return chains


@dataclass(frozen=True)
class MacroName:
    """A macro that names something else: its header, the names it stands
    for when UNICODE is not defined (nearest first), and whether it stands
    for other names when UNICODE is defined (a neutral name)."""
    header: str
    chain: Tuple[str, ...]
    neutral: bool


def macro_names(plain, unicode):
    """{name: MacroName} from the macro_chains of a unit preprocessed
    without UNICODE (`plain`) and with it (`unicode`)."""
    found = {}
    for name, (header, chain) in plain.items():
        wide = unicode.get(name, (None, ()))[1]
        found[name] = MacroName(header, chain,
                                bool(wide) and wide[-1] != chain[-1])
    return found


def first_of(macro, symbols):
    """The first name the macro stands for that is in `symbols` (a
    container), or None."""
    return next((n for n in macro.chain if n in symbols), None)
