"""Holds platform/ (our stand-ins of the Windows pieces) below everything of
the plant: no file under platform/ includes a header from outside platform/,
and none names the suite's database file, the program's log or one of the
suite's tables. Tests and test helpers (*/tests/*, */testing/*) are exempt:
they may exercise a stand-in with the plant's own names.

Run: python3 -m unittest discover -s scripts/tests -p '*_test.py'
"""

import os
import re
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

EXEMPT_FOLDERS = {"tests", "testing"}

# Names that belong to the plant's suite, matched without regard to case.
PLANT_NAMES = ["QTMV.MDB", "daily-report.log", "邊界設定"]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)


def platform_files(root):
    """Every file under root/platform outside the exempt folders, as paths
    relative to root."""
    out = []
    base = os.path.join(root, "platform")
    for folder, dirs, files in os.walk(base):
        dirs[:] = sorted(d for d in dirs if d not in EXEMPT_FOLDERS)
        for name in sorted(files):
            out.append(os.path.relpath(os.path.join(folder, name), root))
    return out


def read_text(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except (UnicodeDecodeError, OSError):
        return None


def resolve(root, including, form, name):
    """The included file of the source tree, relative to root, or None (Qt,
    the standard library, generated files). Quoted includes are looked for
    beside the including file first, as the compiler does."""
    candidates = []
    if form == '"':
        candidates.append(os.path.join(root, os.path.dirname(including), name))
    candidates.append(os.path.join(root, name))
    for c in candidates:
        if os.path.isfile(c):
            return os.path.relpath(os.path.normpath(c), root)
    return None


def outside_includes(root):
    """(file, included header) for each include of a header outside platform/."""
    found = []
    for rel in platform_files(root):
        if not rel.endswith((".h", ".hpp", ".cpp", ".cc", ".c")):
            continue
        text = read_text(os.path.join(root, rel))
        if text is None:
            continue
        for form, name in INCLUDE.findall(text):
            target = resolve(root, rel, form, name)
            if target is not None and target.split(os.sep)[0] != "platform":
                found.append((rel, target))
    return found


def includes_of(root, folder, forbidden):
    """(file, included header) for each file under root/folder (exempt folders
    left out) that includes a header under root/forbidden."""
    found = []
    for rel in platform_files(root):
        if not rel.startswith(folder + os.sep):
            continue
        text = read_text(os.path.join(root, rel))
        if text is None:
            continue
        for form, name in INCLUDE.findall(text):
            target = resolve(root, rel, form, name)
            if target is not None and target.startswith(forbidden + os.sep):
                found.append((rel, target))
    return found


def plant_names(root):
    """(file, name) for each plant name a platform file holds."""
    found = []
    for rel in platform_files(root):
        text = read_text(os.path.join(root, rel))
        if text is None:
            continue
        folded = text.casefold()
        for name in PLANT_NAMES:
            if name.casefold() in folded:
                found.append((rel, name))
    return found


class PlatformLayer(unittest.TestCase):
    def test_platform_includes_nothing_from_above(self):
        self.assertEqual(outside_includes(ROOT), [])

    def test_platform_names_nothing_of_the_plant(self):
        self.assertEqual(plant_names(ROOT), [])

    def test_the_operating_system_stand_ins_are_below_the_data_layer(self):
        self.assertEqual(includes_of(ROOT, "platform/os", "platform/jet"), [])

    def test_the_report_engine_reads_no_data_layer(self):
        self.assertEqual(includes_of(ROOT, "platform/report", "platform/jet"), [])


class TheChecksFindWhatTheyLookFor(unittest.TestCase):
    """The checks on a small tree made in a temporary folder."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, rel, text):
        path = os.path.join(self.root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)

    def test_includes_from_above_are_found_in_either_form(self):
        self.write("common/Failure.h", "#pragma once\n")
        self.write("platform/os/Log.h", "#pragma once\n")
        self.write("platform/os/A.cpp", '#include "common/Failure.h"\n#include "platform/os/Log.h"\n#include <QString>\n')
        self.write("platform/os/B.cpp", '#  include <common/Failure.h>\n')
        self.write("platform/os/C.cpp", '#include "../../common/Failure.h"\n#include "Log.h"\n')
        self.write("platform/os/tests/T.cpp", '#include "common/Failure.h"\n')
        self.write("platform/jet/testing/S.cpp", '#include "common/Failure.h"\n')
        self.assertEqual(outside_includes(self.root), [
            ("platform/os/A.cpp", "common/Failure.h"),
            ("platform/os/B.cpp", "common/Failure.h"),
            ("platform/os/C.cpp", "common/Failure.h"),
        ])

    def test_a_folder_including_a_forbidden_one_is_found(self):
        self.write("platform/jet/Error.h", "#pragma once\n")
        self.write("platform/os/Host.h", "#pragma once\n")
        self.write("platform/os/A.cpp", '#include "platform/jet/Error.h"\n')
        self.write("platform/os/B.cpp", '#include "platform/os/Host.h"\n')
        self.write("platform/os/tests/T.cpp", '#include "platform/jet/Error.h"\n')
        self.assertEqual(includes_of(self.root, "platform/os", "platform/jet"),
                         [("platform/os/A.cpp", "platform/jet/Error.h")])

    def test_plant_names_are_found_in_any_case_outside_tests(self):
        self.write("platform/jet/Open.cpp", "// a database named qtmv.mdb\n")
        self.write("platform/os/README.md", "The log is daily-report.log.\n")
        self.write("platform/report/Margins.cpp", 'rs.open("select * from [邊界設定_半張紙]");\n')
        self.write("platform/os/Host.cpp", "// nothing of the plant\n")
        self.write("platform/report/tests/T.cpp", 'const char* t = "邊界設定_半張紙";\n')
        self.assertEqual(plant_names(self.root), [
            ("platform/jet/Open.cpp", "QTMV.MDB"),
            ("platform/os/README.md", "daily-report.log"),
            ("platform/report/Margins.cpp", "邊界設定"),
        ])


if __name__ == "__main__":
    unittest.main()
