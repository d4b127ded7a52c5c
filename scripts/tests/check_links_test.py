"""Runs scripts/check-links.py on small CMake projects made in a temporary
folder, configured only (nothing is compiled).

Run: python3 -m unittest discover -s scripts/tests -p '*_test.py'
"""

import importlib.util
import os
import subprocess
import sys
import tempfile
import textwrap
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                      "check-links.py")

TOP = """\
cmake_minimum_required(VERSION 3.16)
project(linkcheck_fixture LANGUAGES CXX)
include_directories(${CMAKE_SOURCE_DIR})
add_subdirectory(alpha)
add_subdirectory(beta)
add_subdirectory(tool)
"""

# Two libraries and an executable that includes alpha's header while it links
# beta only.
BASE = {
    "CMakeLists.txt": TOP,
    "alpha/CMakeLists.txt": "add_library(alpha STATIC Alpha.cpp)\n",
    "alpha/Alpha.h": "#pragma once\nint alpha();\n",
    "alpha/Alpha.cpp": '#include "alpha/Alpha.h"\nint alpha() { return 1; }\n',
    "beta/CMakeLists.txt": "add_library(beta STATIC Beta.cpp)\n",
    "beta/Beta.h": "#pragma once\nint beta();\n",
    "beta/Beta.cpp": '#include "beta/Beta.h"\nint beta() { return 2; }\n',
    "tool/CMakeLists.txt": "add_executable(tool main.cpp)\n"
                           "target_link_libraries(tool PRIVATE beta)\n",
    "tool/main.cpp": '#include "alpha/Alpha.h"\nint main() { return alpha(); }\n',
}


# beta's source uses alpha; the tool uses beta only.
BETA_USES_ALPHA = {
    "beta/Beta.cpp": '#include "beta/Beta.h"\n#include "alpha/Alpha.h"\n'
                     "int beta() { return alpha(); }\n",
    "tool/main.cpp": '#include "beta/Beta.h"\nint main() { return beta(); }\n',
}


def load_checker():
    spec = importlib.util.spec_from_file_location("check_links", SCRIPT)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


class Fixture:
    def __init__(self, files):
        self.tmp = tempfile.TemporaryDirectory(prefix="check-links-test-")
        self.src = os.path.join(self.tmp.name, "src")
        self.build = os.path.join(self.tmp.name, "build")
        self.write(files)
        subprocess.run(["cmake", "-S", self.src, "-B", self.build, "-G", "Ninja"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def write(self, files):
        for rel, text in files.items():
            path = os.path.join(self.src, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)

    def check(self):
        proc = subprocess.run([sys.executable, SCRIPT, self.build],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              text=True)
        return proc.returncode, proc.stdout.splitlines(), proc.stderr

    def close(self):
        self.tmp.cleanup()


class CheckLinksTest(unittest.TestCase):
    def fixture(self, changes=None):
        files = dict(BASE)
        files.update(changes or {})
        fx = Fixture(files)
        self.addCleanup(fx.close)
        return fx

    def test_missing_and_unused_links_are_reported_until_fixed(self):
        fx = self.fixture()
        rc, lines, err = fx.check()
        self.assertEqual(rc, 1, err)
        self.assertEqual(lines, [
            'tool/main.cpp: includes "alpha/Alpha.h" of alpha, which tool does not link',
            "tool/CMakeLists.txt:1: tool links beta, but none of its files includes a header of it",
        ])
        fx.write({"tool/CMakeLists.txt": "add_executable(tool main.cpp)\n"
                                         "target_link_libraries(tool PRIVATE alpha)\n"})
        rc, lines, err = fx.check()
        self.assertEqual((rc, lines), (0, []), err)

    def test_a_private_link_of_a_library_does_not_reach_its_users(self):
        fx = self.fixture({
            "beta/CMakeLists.txt": "add_library(beta STATIC Beta.cpp)\n"
                                   "target_link_libraries(beta PRIVATE alpha)\n",
            "beta/Beta.cpp": '#include "beta/Beta.h"\n#include "alpha/Alpha.h"\n'
                             "int beta() { return alpha(); }\n",
            "tool/main.cpp": '#include "alpha/Alpha.h"\n#include "beta/Beta.h"\n'
                             "int main() { return alpha() + beta(); }\n",
        })
        rc, lines, err = fx.check()
        self.assertEqual(rc, 1, err)
        self.assertEqual(lines, [
            'tool/main.cpp: includes "alpha/Alpha.h" of alpha, which tool does not link'])
        fx.write({"tool/CMakeLists.txt": "add_executable(tool main.cpp)\n"
                                         "target_link_libraries(tool PRIVATE alpha beta)\n"})
        rc, lines, err = fx.check()
        self.assertEqual((rc, lines), (0, []), err)

    def test_a_public_link_only_where_a_header_of_the_library_needs_it(self):
        fx = self.fixture(dict(BETA_USES_ALPHA, **{
            "beta/CMakeLists.txt": "add_library(beta STATIC Beta.cpp)\n"
                                   "target_link_libraries(beta PUBLIC alpha)\n"}))
        rc, lines, err = fx.check()
        self.assertEqual(rc, 1, err)
        self.assertEqual(lines, [
            "beta/CMakeLists.txt:1: beta links alpha PUBLIC, but none of its headers "
            "includes a header of it: link it PRIVATE"])
        # Once beta's header includes alpha's, its users compile against
        # alpha through it: PUBLIC is right.
        fx.write({"beta/Beta.h": '#pragma once\n#include "alpha/Alpha.h"\nint beta();\n'})
        rc, lines, err = fx.check()
        self.assertEqual((rc, lines), (0, []), err)

    def test_an_interface_link_is_not_the_linking_library_s_own(self):
        fx = self.fixture(dict(BETA_USES_ALPHA, **{
            "beta/CMakeLists.txt": "add_library(beta STATIC Beta.cpp)\n"
                                   "target_link_libraries(beta INTERFACE alpha)\n"}))
        rc, lines, err = fx.check()
        self.assertEqual(rc, 1, err)
        self.assertEqual(lines, [
            'beta/Beta.cpp: includes "alpha/Alpha.h" of alpha, which beta does not link'])

    def test_add_dependencies_is_no_link(self):
        fx = self.fixture({
            "tool/CMakeLists.txt": "add_executable(tool main.cpp)\n"
                                   "target_link_libraries(tool PRIVATE alpha)\n"
                                   "add_dependencies(tool beta)\n",
            "tool/main.cpp": '#include "alpha/Alpha.h"\n#include "beta/Beta.h"\n'
                             "int main() { return alpha() + beta(); }\n",
        })
        rc, lines, err = fx.check()
        self.assertEqual(rc, 1, err)
        self.assertEqual(lines, [
            'tool/main.cpp: includes "beta/Beta.h" of beta, which tool does not link'])

    def test_a_library_both_linking_and_waiting_for_another_stops_the_check(self):
        fx = self.fixture({
            "beta/CMakeLists.txt": "add_library(beta STATIC Beta.cpp)\n"
                                   "target_link_libraries(beta PUBLIC alpha)\n"
                                   "add_dependencies(beta alpha)\n",
        })
        rc, lines, err = fx.check()
        self.assertEqual((rc, lines), (2, []))
        self.assertIn("beta names alpha in add_dependencies()", err)

    def test_a_header_of_no_library_is_checked_where_it_is_included(self):
        fx = self.fixture({
            "fixtures/Fixture.h": '#pragma once\n#include "alpha/Alpha.h"\n',
            "tool/CMakeLists.txt": "add_executable(tool main.cpp)\n"
                                   "target_link_libraries(tool PRIVATE beta)\n",
            "tool/main.cpp": '#include "fixtures/Fixture.h"\n#include "beta/Beta.h"\n'
                             "int main() { return alpha() + beta(); }\n",
        })
        rc, lines, err = fx.check()
        self.assertEqual(rc, 1, err)
        self.assertEqual(lines, [
            'fixtures/Fixture.h: includes "alpha/Alpha.h" of alpha, which tool does '
            "not link (included from tool/main.cpp)"])

    def test_a_use_through_another_library_s_header_keeps_a_link(self):
        # tool reaches alpha only through beta's header; its own link to
        # alpha is still a use, and beta's PUBLIC link covers the include.
        fx = self.fixture({
            "beta/CMakeLists.txt": "add_library(beta STATIC Beta.cpp)\n"
                                   "target_link_libraries(beta PUBLIC alpha)\n",
            "beta/Beta.h": '#pragma once\n#include "alpha/Alpha.h"\n'
                           "inline int beta() { return alpha(); }\n",
            "beta/Beta.cpp": '#include "beta/Beta.h"\n',
            "tool/CMakeLists.txt": "add_executable(tool main.cpp)\n"
                                   "target_link_libraries(tool PRIVATE alpha beta)\n",
            "tool/main.cpp": '#include "beta/Beta.h"\nint main() { return beta(); }\n',
        })
        rc, lines, err = fx.check()
        self.assertEqual((rc, lines), (0, []), err)


    def test_logic_without_windows_must_not_reach_the_widget_toolkit(self):
        widgets = "add_library(Qt6::Widgets INTERFACE IMPORTED)\n"
        fx = self.fixture(dict(BETA_USES_ALPHA, **{
            "alpha/CMakeLists.txt": widgets + "add_library(alpha STATIC Alpha.cpp)\n"
                                    "target_link_libraries(alpha PRIVATE Qt6::Widgets)\n",
            "beta/CMakeLists.txt": "add_library(beta STATIC Beta.cpp)\n"
                                   "target_link_libraries(beta PRIVATE alpha)\n"}))
        rc, lines, err = fx.check()
        self.assertEqual(rc, 1, err)
        self.assertEqual(lines, [
            "alpha/CMakeLists.txt:2: alpha has no window code but links Qt6::Widgets",
            "beta/CMakeLists.txt:1: beta has no window code but links alpha -> Qt6::Widgets"])
        # Window code in a ui folder may; what links it is still held.
        fx.write({"CMakeLists.txt": TOP.replace("add_subdirectory(alpha)", "add_subdirectory(alpha/ui)"),
                  "alpha/ui/CMakeLists.txt": widgets + "add_library(alpha STATIC Alpha.cpp ../Alpha.h)\n"
                                             "target_link_libraries(alpha PRIVATE Qt6::Widgets)\n",
                  "alpha/ui/Alpha.cpp": '#include "alpha/Alpha.h"\nint alpha() { return 1; }\n'})
        rc, lines, err = fx.check()
        self.assertEqual(lines, [
            "beta/CMakeLists.txt:1: beta has no window code but links alpha -> Qt6::Widgets"], err)


class IncludeReadingTest(unittest.TestCase):
    def test_includes_in_comments_and_string_literals_are_not_read(self):
        checker = load_checker()
        text = textwrap.dedent('''\
            #include "a/A.h" // the first
            /* #include "b/B.h"
               #include "c/C.h" */
            const char* sql = R"sql(
            #include "d/D.h"
            )sql";
            char quote = '"';
              #  include "e/E.h"
            // #include "f/F.h"
            #include <g/G.h>
            ''')
        self.assertEqual(checker.includes_of(text),
                         [("a/A.h", True), ("e/E.h", True), ("g/G.h", False)])


if __name__ == "__main__":
    unittest.main()
