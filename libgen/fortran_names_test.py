import unittest

from libgen.fortran_names import callback_name, everyday_word


class ProgramsOwnNamesTest(unittest.TestCase):
    def test_callback_types_named_as_procedures_are_renamed(self):
        for c_name, fortran in (("WNDPROC", "WNDPROC_INTERFACE"),
                                ("FONTENUMPROCA", "FONTENUMPROCA_INTERFACE"),
                                ("LPOFNHOOKPROC", "LPOFNHOOKPROC_INTERFACE"),
                                ("PROC", "PROC_INTERFACE"),
                                ("LPTHREAD_START_ROUTINE", "LPTHREAD_START_ROUTINE"),
                                ("PFNPROCESSPOLICIESA", "PFNPROCESSPOLICIESA"),
                                ("WNDPROCESSOR", "WNDPROCESSOR")):
            self.assertEqual(callback_name(c_name), fortran, c_name)

    def test_everyday_words_but_those_passed_as_arguments(self):
        for name, everyday in (("TRUE", True), ("false", True), ("IGNORE", True),
                               ("ERROR", True), ("ABSOLUTE", True),
                               ("RELATIVE", True), ("TRANSPARENT", False),
                               ("INFINITE", False), ("ERROR_SUCCESS", False)):
            self.assertEqual(everyday_word(name), everyday, name)


if __name__ == "__main__":
    unittest.main()
