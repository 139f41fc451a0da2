"""The function-like macros of the libraries' headers as functions of the
support library libpareskit.a: one small C function per macro and kind of
its integer arguments, returning what the macro gives in C, and the generic
interfaces that name them as C does (LOWORD, RGB, CreateWindowA,
ListView_InsertItem ...).

A macro's arguments take their types from the macro's expansion: the cast
applied to an argument, the parameter of the function it is passed to, or
the member it is assigned to.  An integer argument (C converts any integer
to it) takes every integer kind in the generic, as far as the generic
keeps MAX_SPECIFICS specifics; a handle, a structure, a string or another
pointer takes the forms of a function's argument of that type."""

import itertools
import re
from dataclasses import dataclass, field
from typing import List, Optional, Tuple

from . import toolchain
from .c_types import Untranslatable, is_handle, resolve
from .fortran_names import FORTRAN_NAME, RESERVED, likely_variable_name
from .interfaces import interface_lines
from .libraries import (COMPILE_DEFINES, LIBRARIES, MAIN_UNIT, UNIT_SOURCES,
                        library_of_header)
from .resources import resource_arguments
from .source_form import comment_lines

# A macro's generic keeps at most this many specifics: its integer
# arguments take fewer kinds beyond.
MAX_SPECIFICS = 16

# Headers of macros that no library's constants come from, with the
# library whose blocks hold their macros.
MACRO_HEADERS = {"windowsx.h": "USER32"}
MACRO_UNIT = UNIT_SOURCES[MAIN_UNIT] + "".join(
    "#include <%s>\n" % header for header in MACRO_HEADERS)
C_PREFIX = "pareskit_"
# The integer kinds an integer argument takes, widest choice first: every
# kind, the 32- and 64-bit ones, or the kind of the C type alone.
KIND_TYPES = {"I1": "signed char", "I2": "short", "I4": "int", "I8": "long long"}
KIND_TIERS = (("I1", "I2", "I4", "I8"), ("I4", "I8"), ())
_LOGICAL_OPERATORS = {"<", ">", "<=", ">=", "==", "!=", "&&", "||", "!"}

_DEFINE = re.compile(r"^#define ([A-Za-z]\w*)\(([^)]*)\)\s*(.*)$")
_UNDEF = re.compile(r"^#undef (\w+)")
_TOKEN = re.compile(r"[A-Za-z_]\w*|0[xX][0-9a-fA-F]+\w*|\d+\w*|->|<<|>>|[<>=!]=|&&|\|\||\S")
_PLACEHOLDER = re.compile(r"^__pk(\d+)$")
_TYPE_WORDS = {"const", "volatile", "struct", "union", "enum", "unsigned",
               "signed", "int", "char", "short", "long", "void", "float",
               "double", "*"}


@dataclass
class Macro:
    """A function-like macro of a library's header."""
    name: str
    header: str
    parameters: List[str]
    body: str
    library: int = 0
    expansion: str = ""


@dataclass
class Argument:
    """A macro's parameter: its C name and the C type it takes ("int" for
    an integer argument, which takes every kind), and the callee's
    parameter it is passed to (for resource numbers)."""
    name: str
    c_type: str = ""
    integer: bool = False
    address_taken: bool = False
    resource: bool = False


@dataclass
class Wrapper:
    """One C function of the support library."""
    c_name: str
    result: str
    arguments: List[Tuple[str, str]]   # (C type, name)
    statement: bool
    call: str


@dataclass
class MacroBlock:
    """What a macro becomes: its library's FI block, its C functions."""
    name: str
    library: int
    header: str
    lines: List[str]
    wrappers: List[Wrapper]
    records: set = field(default_factory=set)   # record keys its types need


@dataclass
class MacroFindings:
    """The macros written, by header, and those left out, by reason."""
    written: dict = field(default_factory=dict)     # header -> count
    skipped: dict = field(default_factory=dict)     # reason -> [name]
    wrappers: int = 0


def function_macros(preprocessed, taken):
    """{name: Macro} of the function-like macros still defined at the end
    of the preprocessed text (gcc -dD) in a library's header or one of
    MACRO_HEADERS, except those whose names Fortran or the library set
    already use (`taken`, upper case), and the {reason: [names]} left out."""
    found, skipped = {}, {}
    for path, line in toolchain.split_by_file(preprocessed):
        undef = _UNDEF.match(line)
        if undef:
            found.pop(undef.group(1), None)
            continue
        define = _DEFINE.match(line)
        if not define:
            if line.startswith("#define "):
                found.pop(line.split()[1].split("(")[0], None)
            continue
        name, parameters, body = define.groups()
        header = toolchain.header_base_name(path)
        index = _library_of_macro_header(header)
        if index is None or "..." in parameters:
            found.pop(name, None)
            continue
        found[name] = Macro(name, header,
                            [p.strip() for p in parameters.split(",") if p.strip()],
                            body.strip(), index)
    kept = {}
    for name, macro in found.items():
        reason = None
        if not FORTRAN_NAME.match(name):
            reason = "not a Fortran name"
        elif name.upper() in RESERVED:
            reason = "name of a Fortran intrinsic"
        elif likely_variable_name(name):
            reason = "a likely variable name"
        elif name.upper() in taken:
            reason = "same name as a function, constant or type"
        elif name.endswith("W") and name[:-1] + "A" in found:
            reason = "wide-character variant of an A macro"
        if reason:
            skipped.setdefault(reason, []).append(name)
        else:
            kept[name] = macro
    return kept, skipped


def _library_of_macro_header(header):
    if header in MACRO_HEADERS:
        return next(i for i, lib in enumerate(LIBRARIES)
                    if lib.name == MACRO_HEADERS[header])
    return library_of_header(header) if header else None


def expand(macros):
    """Sets every macro's expansion, its parameters written __pk0, __pk1 ..."""
    names = sorted(macros)
    lines = ["@@%d@@ %s(%s)" % (number, name, ",".join(
        "__pk%d" % i for i in range(len(macros[name].parameters))))
        for number, name in enumerate(names)]
    text = toolchain.preprocess(MACRO_UNIT + "\n".join(lines) + "\n", "-P")
    for line in text.splitlines():
        marker = re.match(r"^@@(\d+)@@ (.*)$", line)
        if marker:
            macros[names[int(marker.group(1))]].expansion = marker.group(2).strip()


def tokens(text):
    return _TOKEN.findall(text)


def _matching(toks, position, step):
    """The index of the parenthesis matching the one at `position`."""
    opening, closing = ("(", ")") if step > 0 else (")", "(")
    depth = 0
    while 0 <= position < len(toks):
        depth += {opening: 1, closing: -1}.get(toks[position], 0)
        if depth == 0:
            return position
        position += step
    return None


def _is_type_name(words, typedefs):
    """Whether the tokens between a cast's parentheses name a type."""
    return bool(words) and all(w in _TYPE_WORDS or w in typedefs or
                               w.startswith("_") for w in words) and \
        any(w in typedefs or w in _TYPE_WORDS - {"*", "const", "volatile"}
            for w in words)


def argument_uses(expansion, count, functions, typedefs):
    """For each of `count` parameters, what the expansion does with it:
    [(C type or None, address taken, used as a callee, callee and
    parameter position or None)] from its first use that tells a type: a
    cast applied to it, the parameter of a function it is passed to whole,
    the member of a local structure it is assigned to."""
    toks = tokens(expansion)
    uses = [[None, False, False, None] for _ in range(count)]
    for position, tok in enumerate(toks):
        placeholder = _PLACEHOLDER.match(tok)
        if not placeholder:
            continue
        use = uses[int(placeholder.group(1))]
        left, right = position, position
        while left > 0 and right + 1 < len(toks) and toks[left - 1] == "(" \
                and toks[right + 1] == ")":
            left, right = left - 1, right + 1
        before = toks[left - 1] if left > 0 else ""
        after = toks[right + 1] if right + 1 < len(toks) else ""
        if before == "&":
            use[1] = True
        if after == "(" and before not in (")",):
            use[2] = True
        if use[0] is not None:
            continue
        if before == ")":
            opening = _matching(toks, left - 1, -1)
            words = toks[opening + 1:left - 1] if opening is not None else []
            if _is_type_name(words, typedefs) and not (
                    opening > 0 and re.match(r"\w", toks[opening - 1])):
                use[0] = " ".join(words).replace(" *", " *").replace("* ", "*")
                continue
        if before in ("(", ",") and after in (")", ","):
            call = _enclosing_call(toks, left)
            if call is not None and call[0] in functions:
                callee, index = call
                parameters = [p for p in functions[callee].get("inner", [])
                              if p.get("kind") == "ParmVarDecl"]
                if index < len(parameters):
                    use[0] = parameters[index]["type"]["qualType"]
                    use[3] = (callee, index)
                    continue
        if before == "=" and left >= 4 and toks[left - 3] == ".":
            variable, member = toks[left - 4], toks[left - 2]
            declared = _declared_type(toks, variable)
            if declared:
                use[0] = "__typeof__(((%s *)0)->%s)" % (declared, member)
    return [tuple(use) for use in uses]


def _enclosing_call(toks, position):
    """(function name, argument index) of the call whose argument list
    holds the token at `position` directly, or None."""
    depth, commas = 0, 0
    for index in range(position - 1, -1, -1):
        tok = toks[index]
        if tok == ")":
            depth += 1
        elif tok == "(":
            if depth == 0:
                if index > 0 and re.match(r"[A-Za-z_]\w*$", toks[index - 1]):
                    return toks[index - 1], commas
                return None
            depth -= 1
        elif tok == "," and depth == 0:
            commas += 1
    return None


def _declared_type(toks, variable):
    """The type of a local structure variable declared "{ TYPE var;" in a
    statement macro."""
    for index in range(1, len(toks) - 1):
        if toks[index] == variable and toks[index + 1] == ";" and \
                toks[index - 1] not in ("{", ";"):
            start = index - 1
            while start > 0 and toks[start - 1] not in ("{", ";"):
                start -= 1
            return " ".join(toks[start:index])
    return None


def _is_statement(expansion):
    return expansion.startswith("{") or expansion.startswith("do")


def _called_functions(expansion, functions):
    toks = tokens(expansion)
    return [t for i, t in enumerate(toks[:-1])
            if toks[i + 1] == "(" and t in functions]


def _left_out(expansion):
    """Why a macro's expansion makes no function, or None: it is empty,
    hands back or assigns its argument only (TEXT, UNREFERENCED_PARAMETER),
    takes the size of its argument, or calls a compiler intrinsic."""
    toks = tokens(expansion)
    if not toks:
        return "no expansion"
    if all(_PLACEHOLDER.match(t) or t in "(){};=" for t in toks):
        return "hands back its argument"
    if {"sizeof", "__builtin_offsetof", "_Alignof"} & set(toks):
        return "takes the size of its argument"
    if any(t.startswith("_") and toks[i + 1] == "("
           for i, t in enumerate(toks[:-1])):
        return "calls a compiler intrinsic"
    return None


def probe_source(macros, uses):
    """The C source that clang checks and describes: one function per
    macro, its parameters of the types the expansion tells (int where it
    tells none), returning the macro's value."""
    lines = [MACRO_UNIT]
    for name in sorted(macros):
        macro = macros[name]
        parameters = ", ".join(
            "%s __pk%d" % (use[0] or "int", i)
            for i, use in enumerate(uses[name])) or "void"
        call = "%s(%s)" % (name, ", ".join(
            "__pk%d" % i for i in range(len(macro.parameters))))
        if _is_statement(macro.expansion):
            lines.append("void %sprobe_%s(%s) { %s; }" % (
                C_PREFIX, name, parameters, call))
        else:
            # The parameters are not in scope before the function's name:
            # its result type takes the macro of values of their types.
            values = "%s(%s)" % (name, ", ".join(
                "(%s){0}" % (use[0] or "int") for use in uses[name]))
            lines.append("__typeof__(%s) %sprobe_%s(%s) { return %s; }" % (
                values, C_PREFIX, name, parameters, call))
    return "\n".join(lines) + "\n"


def _returned(node):
    """The expression node a probe returns, past the conversions to its
    own typeof type; None for a statement macro."""
    for inner in node.get("inner", []):
        if inner.get("kind") == "CompoundStmt":
            for statement in inner.get("inner", []):
                if statement.get("kind") == "ReturnStmt" and statement.get("inner"):
                    expression = statement["inner"][0]
                    while expression.get("kind") in ("ImplicitCastExpr",) and \
                            expression["type"]["qualType"].startswith("typeof"):
                        expression = expression["inner"][0]
                    return expression
    return None


def _is_logical(expression):
    while expression.get("kind") == "ParenExpr":
        expression = expression["inner"][0]
    return expression.get("opcode") in _LOGICAL_OPERATORS and \
        expression.get("kind") in ("BinaryOperator", "UnaryOperator")


def _type_text(type_node):
    """The C type text of a clang type, its typedef name where it has one;
    what a typeof stands for."""
    text = type_node["qualType"]
    if "typeof" in text:
        text = type_node.get("desugaredQualType", text)
    return text


def probe(macros, typedefs, functions):
    """Checks every macro's probe with clang; returns {name: (arguments,
    result C type or None for none, whether the result is a truth value)}
    for those that compile, and {name: reason} for the others."""
    uses = {name: argument_uses(macros[name].expansion,
                                len(macros[name].parameters), functions,
                                typedefs) for name in macros}
    skipped, pending = {}, dict(macros)
    for name, macro_uses in uses.items():
        reason = _left_out(macros[name].expansion)
        if reason:
            skipped[name] = reason
        elif any(use[2] for use in macro_uses):
            skipped[name] = "calls an argument"
    for name in skipped:
        pending.pop(name, None)
    options = ("-Werror=incompatible-pointer-types", "-Werror=int-conversion",
               "-Werror=pointer-to-int-cast", "-Werror=int-to-pointer-cast")
    for _ in range(8):
        source = probe_source(pending, uses)
        offset = MACRO_UNIT.count("\n") + 2
        failed = toolchain.error_lines(source, options)
        if not failed:
            break
        names = sorted(pending)
        for line in failed:
            if 0 <= line - offset < len(names):
                skipped[names[line - offset]] = "does not compile as a function"
                pending.pop(names[line - offset], None)
    nodes = toolchain.named_declarations(probe_source(pending, uses),
                                         C_PREFIX + "probe_")
    described = {}
    for name, macro in pending.items():
        node = nodes.get(C_PREFIX + "probe_" + name)
        if node is None:
            skipped[name] = "does not compile as a function"
            continue
        parameters = [p for p in node.get("inner", [])
                      if p.get("kind") == "ParmVarDecl"]
        arguments = []
        for c_name, parameter, use in zip(macro.parameters, parameters,
                                          uses[name]):
            c_type = _type_text(parameter["type"])
            ctype = resolve(c_type, typedefs)
            integer = ctype.form == "int" or (ctype.form == "char"
                                              and "*" not in c_type)
            resource = use[3] is not None and use[3][0] in functions and \
                _callee_parameter(functions[use[3][0]], use[3][1]) in \
                resource_arguments(use[3][0], functions[use[3][0]])
            arguments.append(Argument(c_name, c_type, integer, use[1], resource))
        returned = _returned(node)
        if returned is None:
            described[name] = (arguments, None, False)
        else:
            described[name] = (arguments, _type_text(returned["type"]),
                               _is_logical(returned))
    return described, skipped


def _callee_parameter(declaration, index):
    parameters = [p for p in declaration.get("inner", [])
                  if p.get("kind") == "ParmVarDecl"]
    return parameters[index].get("name") if index < len(parameters) else None


def result_type(c_type, logical, typedefs):
    """The C result type of a macro's functions: _Bool for a truth value,
    int for an integer narrower than int (as C promotes it in any
    expression), else the macro's own type; "void" for none."""
    if c_type is None or c_type == "void":
        return "void"
    if logical:
        return "_Bool"
    ctype = resolve(c_type, typedefs)
    if ctype.form in ("int", "char") and ctype.size < 4:
        return "int"
    return c_type


def kind_choices(arguments, forms_count):
    """The kind picks of the integer arguments: [(suffix, {index: kind})],
    in the first tier of KIND_TIERS whose picks times `forms_count` keep
    MAX_SPECIFICS specifics (the last tier: each argument its own C type)."""
    integers = [i for i, a in enumerate(arguments) if a.integer]
    for tier in KIND_TIERS:
        if not integers:
            break
        kinds = [k for k in tier if not (k in ("I1", "I2") and any(
            arguments[i].address_taken for i in integers))]
        if not kinds:
            continue
        if len(kinds) ** len(integers) * forms_count <= MAX_SPECIFICS:
            return [("_" + "_".join(pick), dict(zip(integers, pick)))
                    for pick in itertools.product(kinds, repeat=len(integers))]
    return [("", {})]


def _declaration(result, arguments):
    """A clang-like FunctionDecl node of a wrapper's prototype."""
    return {"type": {"qualType": "%s (%s)" % (result, ", ".join(
        t for t, _ in arguments) or "void")},
        "inner": [{"kind": "ParmVarDecl", "name": name, "type": {"qualType": t}}
                  for t, name in arguments]}


def _c_names(arguments, defined):
    """C parameter names of a wrapper: the macro's, unless a macro of that
    name would expand them."""
    return [a.name if a.name not in defined else "p_" + a.name for a in arguments]


def macro_blocks(name, macro, arguments, result, typedefs, structures_of,
                 defined, fortran_name=None):
    """The MacroBlock of a macro (under `fortran_name` when given: the
    neutral name of an A macro, bound to the A macro's functions)."""
    fortran_name = fortran_name or name
    c_names = _c_names(arguments, defined)
    resources = [a.name for a in arguments if a.resource]
    records = set()

    def block(suffix, kinds, specific):
        c_types = [KIND_TYPES[kinds[i]] if i in kinds else
                   ("long long" if resolve(a.c_type, typedefs).size == 8 else "int")
                   if a.integer else a.c_type for i, a in enumerate(arguments)]
        wrapper = Wrapper(C_PREFIX + name + suffix, result,
                          list(zip(c_types, c_names)), macro.expansion.startswith(
                              ("{", "do")), "%s(%s)" % (name, ", ".join(c_names)))
        declaration = _declaration(result, [(t, a.name) for t, a in
                                            zip(c_types, arguments)])
        structures = structures_of()
        lines = interface_lines(fortran_name, declaration, typedefs,
                                structures, resources, wrapper.c_name, specific,
                                exact_kinds=True)
        records.update(structures.taken)
        return wrapper, lines

    base_wrapper, base_lines = block("", {}, None)
    forms_count = sum(1 for line in base_lines
                      if line.startswith(("      END FUNCTION",
                                          "      END SUBROUTINE")))
    choices = kind_choices(arguments, forms_count)
    if choices == [("", {})]:
        wrappers, lines = [base_wrapper], base_lines
    else:
        wrappers, lines = [], []
        for suffix, kinds in choices:
            wrapper, kind_lines = block(suffix, kinds, fortran_name + suffix)
            wrappers.append(wrapper)
            lines += kind_lines
    return MacroBlock(fortran_name, macro.library, macro.header,
                      comment_lines(_block_note(fortran_name, macro, arguments,
                                                choices, name)) + lines, wrappers,
                      records)


def _block_note(fortran_name, macro, arguments, choices, name):
    text = "%s: the C macro %s(%s) of %s, a function of the support library " \
        "libpareskit.a (link -lpareskit)." % (
            fortran_name, name, ", ".join(macro.parameters), macro.header)
    kinds = sorted({k for _, picks in choices for k in picks.values()})
    integers = [a.name for a in arguments if a.integer]
    if kinds and integers:
        text += " %s: INTEGER of kind %s, in any mix." % (
            ", ".join(integers), ", ".join(
                {"I1": "C_INT8_T", "I2": "C_INT16_T", "I4": "C_INT32_T",
                 "I8": "C_INT64_T"}[k] for k in kinds))
    return text


def neutral_names(preprocessed, macros):
    """{neutral name: A macro} for the A macros whose neutral name the
    headers map to the A name (#define CreateWindow
    __MINGW_NAME_AW(CreateWindow))."""
    found = {}
    for _, line in toolchain.split_by_file(preprocessed):
        define = re.match(r"^#define ([A-Za-z]\w*) __MINGW_NAME_AW\((\w+)\)$",
                          line)
        if define and define.group(1) == define.group(2) and \
                define.group(1) + "A" in macros:
            found[define.group(1)] = define.group(1) + "A"
    return found


def _define_line(option):
    """The #define line of a compiler option -DNAME or -DNAME=VALUE."""
    name, _, value = option[2:].partition("=")
    return "#define %s %s" % (name, value or "1")


def c_source(library, wrappers):
    """The C source of one library's functions of the support library."""
    lines = [
        "/* libpareskit.a, %s: the function-like macros of the %s headers as"
        % (library, library),
        "   functions, generated by libgen/ from the mingw-w64 headers; each returns",
        "   what the macro gives in C for its argument types. */",
    ] + [_define_line(option) for option in COMPILE_DEFINES] + [
        "#include <windows.h>"] + [
        "#include <%s>" % h for h in _unit_headers()] + [""]
    for wrapper in wrappers:
        parameters = ", ".join("%s %s" % (t, n)
                               for t, n in wrapper.arguments) or "void"
        if wrapper.result == "void":
            body = "%s;" % wrapper.call
        else:
            body = "return %s;" % wrapper.call
        lines.append("%s %s(%s) { %s }" % (wrapper.result, wrapper.c_name,
                                            parameters, body))
    return "\n".join(lines) + "\n"


def _unit_headers():
    return re.findall(r"#include <([^>]+)>", MACRO_UNIT)[1:]


def collect_macros(declarations, typedefs, structures_of, taken, owner):
    """The MacroBlocks of the macros that translate, by name, and their
    MacroFindings.  `declarations` holds the exported functions' prototypes
    ({name: FunctionDecl node}), `owner` their libraries ({name: index});
    a macro goes with the library of its header, or of the first function
    it calls that neither KERNEL32 nor USER32 exports."""
    preprocessed = toolchain.preprocess(MACRO_UNIT, "-dD")
    macros, skipped_names = function_macros(preprocessed, taken)
    expand(macros)
    described, skipped = probe(macros, typedefs, declarations)
    defined = {line.split()[1].split("(")[0]
               for _, line in toolchain.split_by_file(preprocessed)
               if line.startswith("#define ")}
    found = MacroFindings()
    for reason, names in skipped_names.items():
        found.skipped[reason] = sorted(names)
    for name, reason in skipped.items():
        found.skipped.setdefault(reason, []).append(name)
    blocks = {}
    for name in sorted(described):
        macro = macros[name]
        arguments, result_c, logical = described[name]
        # Every program links KERNEL32 and USER32; a macro calling another
        # library's function goes with that library, whose import library
        # a program using it links anyway.
        others = [owner[f] for f in _called_functions(macro.expansion, declarations)
                  if f in owner and LIBRARIES[owner[f]].name not in
                  ("KERNEL32", "USER32")]
        if others:
            macro.library = others[0]
        try:
            result = result_type(result_c, logical, typedefs)
            blocks[name] = macro_blocks(name, macro, arguments, result,
                                        typedefs, structures_of, defined)
        except Untranslatable as problem:
            found.skipped.setdefault(str(problem), []).append(name)
    for neutral, a_name in sorted(neutral_names(preprocessed, blocks).items()):
        if neutral.upper() in taken:
            continue
        macro = macros[a_name]
        arguments, result_c, logical = described[a_name]
        neutral_block = macro_blocks(a_name, macro, arguments,
                                     result_type(result_c, logical, typedefs),
                                     typedefs, structures_of, defined, neutral)
        neutral_block.wrappers = []
        neutral_block.library = blocks[a_name].library
        blocks[neutral] = neutral_block
    for block in blocks.values():
        found.written[block.header] = found.written.get(block.header, 0) + 1
        found.wrappers += len(block.wrappers)
    for reason in found.skipped:
        found.skipped[reason].sort()
    return blocks, found
