import unittest

from libgen.c_records import RecordCatalog
from libgen.macro_names import MacroName
from libgen.structures import c_names, spelled_names
from libgen.toolchain import UnitDeclarations


def record(key, tag, kind="struct"):
    return {"id": key, "tagUsed": kind, "name": tag, "inner": [
        {"kind": "FieldDecl", "name": "x", "type": {"qualType": "long"}}]}


def owning_typedef(name, tag):
    return ({"kind": "TypedefDecl", "name": name, "type": {
        "qualType": "struct %s" % tag}, "inner": [{
            "kind": "ElaboratedType", "type": {"qualType": "struct %s" % tag}}]},
        "x.h")


def function(*parameter_types):
    return {"inner": [{"kind": "ParmVarDecl", "type": {"qualType": t}}
                      for t in parameter_types]}


def catalog():
    declarations = UnitDeclarations()
    declarations.records = [(record("0x1", "_RTL_CRITICAL_SECTION"), "winnt.h"),
                            (record("0x2", "tagRASENTRYA"), "ras.h")]
    declarations.typedef_nodes = {
        "RTL_CRITICAL_SECTION": owning_typedef("RTL_CRITICAL_SECTION",
                                               "_RTL_CRITICAL_SECTION")}
    declarations.typedefs = {
        "RTL_CRITICAL_SECTION": "struct _RTL_CRITICAL_SECTION",
        "PRTL_CRITICAL_SECTION": "RTL_CRITICAL_SECTION *",
        "CRITICAL_SECTION": "RTL_CRITICAL_SECTION",
        "LPCRITICAL_SECTION": "PRTL_CRITICAL_SECTION",
        "PSID": "void *"}
    return RecordCatalog(declarations), declarations.typedefs


class CNamesTest(unittest.TestCase):
    def test_typedef_names_then_aliases_then_macros(self):
        found, typedefs = catalog()
        names = c_names(found, typedefs, {"RASENTRYA": "struct tagRASENTRYA",
                                          "OTHER": "struct tagNONE"})
        self.assertEqual(names, {"0x1": ["RTL_CRITICAL_SECTION", "CRITICAL_SECTION"],
                                 "0x2": ["RASENTRYA"]})
        # The record is spelled by its macro where it has no typedef name.
        self.assertEqual(found.by_key["0x2"].names, ["RASENTRYA"])

    def test_macros_naming_a_c_name_come_last(self):
        found, typedefs = catalog()
        chains = {"CS_NAME": MacroName("x.h", ("CRITICAL_SECTION",), False),
                  "RAS_NAME": MacroName("x.h", ("RAS_OTHER", "RASENTRYA"), True),
                  "LPCS_NAME": MacroName("x.h", ("LPCRITICAL_SECTION",), False)}
        names = c_names(found, typedefs, {"RASENTRYA": "struct tagRASENTRYA"},
                        chains)
        self.assertEqual(names, {"0x1": ["RTL_CRITICAL_SECTION", "CRITICAL_SECTION",
                                         "CS_NAME"],
                                 "0x2": ["RASENTRYA", "RAS_NAME"]})

    def test_prototypes_spell_the_name_their_pointer_typedef_follows(self):
        found, typedefs = catalog()
        owner = {"RTL_CRITICAL_SECTION": "0x1", "CRITICAL_SECTION": "0x1"}
        functions = {"InitializeCriticalSection": function("LPCRITICAL_SECTION"),
                     "RtlThing": function("PRTL_CRITICAL_SECTION", "PSID"),
                     "Direct": function("const CRITICAL_SECTION *", "long")}
        self.assertEqual(spelled_names(found, typedefs, functions, owner),
                         {"CRITICAL_SECTION": 2, "RTL_CRITICAL_SECTION": 1})


if __name__ == "__main__":
    unittest.main()
