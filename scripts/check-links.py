#!/usr/bin/env python3
"""Checks that every target links the project libraries whose headers it
includes, and includes something of every project library it links.

Usage: python3 scripts/check-links.py [--source DIR] BUILD_DIR

BUILD_DIR is a configured build directory (configure only is enough; nothing is
compiled). When it has no CMakeCache.txt it is configured from --source, by
default the repository holding this script. Exit status: 0 when nothing is
found, 1 with one line per problem, 2 when CMake's answers cannot be had.

Two kinds of problem are reported:
  missing link  a file of target T includes a header of project library L, and
                L is not in T's compile closure: T's own links (any
                visibility) and, from each library in it, that library's
                PUBLIC/INTERFACE links, recursively. $<LINK_ONLY:...> items,
                which CMake adds for the PRIVATE links of static libraries,
                never carry headers and are not followed.
  public link   T is a library that links project library L PUBLIC, and no
                header of T includes a header of L (directly, or through
                T's own headers and headers of no library): dependents never
                compile against L through T, so the link is PRIVATE.
  unused link   T's own target_link_libraries (any visibility but INTERFACE,
                which T itself does not use) name project library L, and no
                file of T includes a header of L, directly or through the
                project's headers it includes.
  widgets       T is a library with no file in a folder named ui and a name
                not ending in _ui (the project's two marks of window code),
                and its links lead, at any depth and visibility, to Qt6::Widgets:
                logic without windows must not pull the widget toolkit in.
Third-party libraries (Qt, SQLite, libpq, gtest, xlsxwriter...) are not
project targets and are never checked, except that Qt6::Widgets is the mark
of window code.

Where the facts come from. Every run re-runs CMake on BUILD_DIR, so that a
reply left from before a CMakeLists.txt changed is never read:
  - Targets, their types, source directories (the folder of the
    CMakeLists.txt that defines them) and source files: the file API
    (codemodel-v2). The query file is written here when missing.
  - Direct links with their visibility: `cmake --graphviz`, run in the same
    invocation. The codemodel's "dependencies" of a target is the build-order
    closure (the links of its links, PRIVATE ones of static libraries
    included), with every backtrace pointing at the target's own call, and
    CMake 3.25's codemodel has no list of direct links; a static library has
    no link command at all. The graph is written by CMake from each target's
    evaluated link implementation and usage interface: a solid edge is
    PUBLIC (both), dotted PRIVATE (implementation only), dashed INTERFACE
    (usage only). Each direct link is cross-checked against the codemodel's
    dependencies, every codemodel target must be a node of the graph, and
    the project libraries on each executable's link command (codemodel) must
    be those the graph leads to; a mismatch stops the check rather than
    giving an answer from wrong facts.
    The graph draws add_dependencies() edges as solid too; the codemodel's
    backtrace of the dependency (the add_dependencies() call) tells them
    apart (see drop_utilities).

Which target a file belongs to:
  - a source file belongs to every target that lists it;
  - a header belongs to the targets that list it, else to those that list a
    source file of the same name beside it (Foo.cpp for Foo.h), else to the
    target whose source directory contains it most specifically. Where one
    folder defines several targets, the one with sources deepest on the
    header's path wins (app/core/X.h goes to the target built from
    app/core/*.cpp, not to the one built from app/ui/*.cpp). Where libraries
    and executables tie, the libraries keep the header; where two libraries
    still tie, including the header is fine when either is linked, and it
    counts as a use of both.
A header with one owner is checked as a file of that target even when nothing
includes it. A header of no library (shared by several test executables, or
owned by no target at all) is checked where it is included, as part of the
includer: its includes count as the includer's. Headers of another library
are not followed for missing links (that library answers for them) but are
followed to see which libraries a target uses.

Includes are read from `#include "..."` and `#include <...>` lines outside
comments and string literals, resolved first beside the including file (for
the quoted form) and then against the top source directory; ones that resolve
to no file of the source tree (Qt, the standard library, generated files) are
skipped.
"""

import argparse
import glob
import json
import os
import re
import subprocess
import sys
import tempfile
from collections import deque

HEADER_EXT = {".h", ".hh", ".hpp", ".hxx", ".inl"}
SOURCE_EXT = {".c", ".cc", ".cpp", ".cxx"}
LIBRARY_TYPES = {"STATIC_LIBRARY", "SHARED_LIBRARY", "MODULE_LIBRARY",
                 "OBJECT_LIBRARY", "INTERFACE_LIBRARY"}


class CheckError(Exception):
    pass


# ---------------------------------------------------------------- CMake side

def run_cmake(build, source):
    """Configures BUILD (again) with the codemodel query in place and returns
    the text of the link graph CMake writes in the same run."""
    query = os.path.join(build, ".cmake", "api", "v1", "query", "codemodel-v2")
    os.makedirs(os.path.dirname(query), exist_ok=True)
    if not os.path.exists(query):
        open(query, "w").close()
    with tempfile.TemporaryDirectory(prefix="check-links-") as tmp:
        # CMake also writes one graph per target beside the main one; the
        # temporary folder takes them away.
        dot = os.path.join(tmp, "links.dot")
        cmd = ["cmake", "--graphviz=" + dot]
        if os.path.exists(os.path.join(build, "CMakeCache.txt")):
            cmd.append(build)
        else:
            cmd += ["-S", source, "-B", build, "-G", "Ninja"]
        proc = subprocess.run(cmd, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True)
        if proc.returncode != 0:
            raise CheckError("cmake failed:\n" + proc.stdout)
        with open(dot, encoding="utf-8") as f:
            return f.read()


def read_codemodel(build):
    reply = os.path.join(build, ".cmake", "api", "v1", "reply")
    indexes = sorted(glob.glob(os.path.join(reply, "index-*.json")))
    if not indexes:
        raise CheckError("no file API reply in " + reply)
    with open(indexes[-1], encoding="utf-8") as f:
        index = json.load(f)
    entry = index.get("reply", {}).get("codemodel-v2")
    if not entry or "jsonFile" not in entry:
        raise CheckError("the file API reply has no codemodel-v2")
    with open(os.path.join(reply, entry["jsonFile"]), encoding="utf-8") as f:
        codemodel = json.load(f)
    if len(codemodel["configurations"]) != 1:
        raise CheckError("expected one configuration, found %d"
                         % len(codemodel["configurations"]))
    targets = []
    for ref in codemodel["configurations"][0]["targets"]:
        with open(os.path.join(reply, ref["jsonFile"]), encoding="utf-8") as f:
            targets.append(json.load(f))
    return codemodel["paths"]["source"], targets


EDGE_STYLE = {None: "public", "solid": "public", "dotted": "private",
              "dashed": "interface"}
NODE_RE = re.compile(r'^\s*"(node\d+)"\s*\[\s*label\s*=\s*"((?:[^"\\]|\\.)*)"')
EDGE_RE = re.compile(
    r'^\s*"(node\d+)"\s*->\s*"(node\d+)"\s*(?:\[\s*style\s*=\s*(\w+)\s*\])?')


def parse_graph(dot):
    """Returns (node names, {name: {dependency name: visibility}})."""
    labels = {}
    links = {}
    for line in dot.splitlines():
        m = EDGE_RE.match(line)
        if m:
            if m.group(3) not in EDGE_STYLE:
                raise CheckError("unknown edge style in the link graph: "
                                 + line.strip())
            src, dst = labels[m.group(1)], labels[m.group(2)]
            links.setdefault(src, {})[dst] = EDGE_STYLE[m.group(3)]
            continue
        m = NODE_RE.match(line)
        if m:
            # A target with aliases is labelled "name\n(alias)...".
            labels[m.group(1)] = m.group(2).split("\\n(")[0].replace('\\"', '"')
    return set(labels.values()), links


# ------------------------------------------------------------------ includes

INCLUDE_RE = re.compile(r'[ \t]*#[ \t]*include[ \t]*(?:"([^"\n]+)"|<([^>\n]+)>)')
RAW_RE = re.compile(r'(?:u8|u|U|L)?R"([^()\\\s]{0,16})\(')


def code_lines(text):
    """Yields the text of each line with comments and the contents of string
    and character literals blanked out, so a commented-out include, or one
    shown inside an SQL raw string, is not taken for a real one."""
    out = []
    i, n = 0, len(text)
    state = None  # None, "block", '"', "'" or the end of a raw string
    while i < n:
        c = text[i]
        if c == "\n" and state != "block" and (state is None or len(state) == 1):
            state = None  # an unterminated literal ends with its line
        if c == "\n":
            yield "".join(out)
            out = []
            i += 1
            continue
        if state is None:
            if not "".join(out).strip():
                m = INCLUDE_RE.match(text, i)
                if m:  # the file name of an include is no literal
                    out.append(m.group(0))
                    i = m.end()
                    continue
            if text.startswith("//", i):
                j = text.find("\n", i)
                i = n if j < 0 else j
                continue
            if text.startswith("/*", i):
                state = "block"
                out.append(" ")
                i += 2
                continue
            m = RAW_RE.match(text, i)
            if m and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
                state = ")" + m.group(1) + '"'
                out.append('""')
                i = m.end()
                continue
            if c in "\"'":
                state = c
            out.append(c)
            i += 1
        elif state == "block":
            if text.startswith("*/", i):
                state = None
                i += 2
            else:
                i += 1
        elif len(state) > 1:  # raw string
            if text.startswith(state, i):
                i += len(state)
                state = None
            else:
                i += 1
        elif c == "\\":
            i += 1 if text.startswith("\n", i + 1) else 2
        else:
            if c == state:
                out.append(c)
                state = None
            i += 1
    if out:
        yield "".join(out)


def includes_of(text):
    found = []
    for line in code_lines(text):
        m = INCLUDE_RE.match(line.strip())
        if m:
            found.append((m.group(1), True) if m.group(1) is not None
                         else (m.group(2), False))
    return found


# ----------------------------------------------------------------- the model

class Model:
    def __init__(self, root, targets, graph_nodes, graph_links):
        self.root = os.path.realpath(root)
        self.targets = {}      # name -> codemodel target object
        self.by_id = {}
        for t in targets:
            if t["type"] == "UTILITY":
                continue
            self.targets[t["name"]] = t
            self.by_id[t["id"]] = t["name"]
        self.libraries = {n for n, t in self.targets.items()
                          if t["type"] in LIBRARY_TYPES}
        self.source_dir = {n: norm(t["paths"]["source"])
                           for n, t in self.targets.items()}
        self.sources = {}      # name -> [repo-relative paths]
        self.listed_by = {}    # repo-relative path -> {target names}
        for n, t in self.targets.items():
            files = []
            for s in t.get("sources", []):
                if s.get("isGenerated"):
                    continue
                rel = self.relative(s["path"])
                if rel is None:
                    continue
                files.append(rel)
                self.listed_by.setdefault(rel, set()).add(n)
            self.sources[n] = files
        graph_links = self.drop_utilities(graph_links)
        self.check_graph(graph_nodes, graph_links)
        self.graph_links = graph_links
        self.own_links = {}    # name -> {library: visibility}, project only
        self.usage = {}        # name -> PUBLIC/INTERFACE links, any target
        for name, deps in graph_links.items():
            self.usage[name] = {d for d, v in deps.items() if v != "private"}
        for n in self.targets:
            self.own_links[n] = {d: v for d, v in graph_links.get(n, {}).items()
                                 if d in self.libraries}
        self.include_cache = {}
        self.owner_cache = {}

    def drop_utilities(self, links):
        """The graph draws add_dependencies() edges like PUBLIC links. The
        codemodel gives such a dependency the add_dependencies() call for
        backtrace, even where the target is linked as well. An executable
        has no usage interface, its links are all drawn dotted: its solid
        edges are add_dependencies() ones. A library's solid edge may be
        either, or both; rather than guess, the check stops there."""
        utility = set()
        for name, t in self.targets.items():
            bg = t.get("backtraceGraph", {})
            for d in t.get("dependencies", []):
                node = d.get("backtrace")
                if node is None:
                    continue
                command = bg["nodes"][node].get("command")
                if command is not None and bg["commands"][command] == "add_dependencies":
                    utility.add((name, self.by_id.get(d["id"])))
        kept = {}
        for src, deps in links.items():
            kept[src] = {}
            for dst, vis in deps.items():
                if vis == "public" and (src, dst) in utility:
                    if src in self.libraries and dst in self.libraries:
                        raise CheckError(
                            "%s names %s in add_dependencies(): CMake's answers "
                            "do not tell whether it also links it PUBLIC"
                            % (src, dst))
                    continue
                kept[src][dst] = vis
        return kept

    def check_graph(self, nodes, links):
        missing = sorted(set(self.targets) - nodes)
        if missing:
            raise CheckError("targets missing from CMake's link graph (is a "
                             "CMakeGraphVizOptions.cmake hiding them?): "
                             + ", ".join(missing))
        for name, t in self.targets.items():
            deps = {self.by_id.get(d["id"]) for d in t.get("dependencies", [])}
            for dep, vis in links.get(name, {}).items():
                if vis != "interface" and dep in self.targets and dep not in deps:
                    raise CheckError("the link graph has %s -> %s but the "
                                     "codemodel does not" % (name, dep))
        # An executable's link command names every project library it gets;
        # the graph read here must give the same set.
        artifacts = {}
        for name, t in self.targets.items():
            for a in t.get("artifacts", []):
                artifacts[a["path"]] = name
        for name, t in self.targets.items():
            if t["type"] != "EXECUTABLE" or "link" not in t:
                continue
            linked = {artifacts[f["fragment"]]
                      for f in t["link"].get("commandFragments", [])
                      if f.get("role") == "libraries" and f["fragment"] in artifacts}
            seen = set()
            todo = [d for d, v in links.get(name, {}).items() if v != "interface"]
            while todo:
                d = todo.pop()
                if d in seen:
                    continue
                seen.add(d)
                # A static library's PRIVATE links go on the link line too.
                static = self.targets.get(d, {}).get("type") == "STATIC_LIBRARY"
                todo.extend(x for x, v in links.get(d, {}).items()
                            if static or v != "private")
            if linked != seen & self.libraries:
                raise CheckError("%s's link command does not match the link "
                                 "graph: %s" % (name, ", ".join(
                                     sorted(linked ^ (seen & self.libraries)))))

    def relative(self, path):
        full = os.path.realpath(os.path.join(self.root, path))
        if full != self.root and not full.startswith(self.root + os.sep):
            return None
        return os.path.relpath(full, self.root).replace(os.sep, "/")

    def definition(self, name):
        """Where a target is defined: the outermost call in its own folder's
        CMakeLists.txt (the qtmv_add_test(...) line, not the function body)."""
        t = self.targets[name]
        bg = t.get("backtraceGraph")
        want = self.source_dir[name]
        want = "CMakeLists.txt" if want == "." else want + "/CMakeLists.txt"
        best = want
        node = t.get("backtrace")
        while bg is not None and node is not None:
            frame = bg["nodes"][node]
            if bg["files"][frame["file"]] == want and "line" in frame:
                best = "%s:%d" % (want, frame["line"])
            node = frame.get("parent")
        return best

    # ---- files and their owners

    def walk_headers(self):
        build_trees = set()
        for dirpath, dirnames, filenames in os.walk(self.root):
            if "CMakeCache.txt" in filenames and dirpath != self.root:
                dirnames[:] = []
                build_trees.add(dirpath)
                continue
            dirnames[:] = sorted(d for d in dirnames if not d.startswith("."))
            for f in sorted(filenames):
                if os.path.splitext(f)[1] in HEADER_EXT:
                    yield self.relative(os.path.join(dirpath, f))

    def owners(self, rel):
        if rel in self.owner_cache:
            return self.owner_cache[rel]
        result = set(self.listed_by.get(rel, ()))
        stem, ext = os.path.splitext(rel)
        if not result and ext in HEADER_EXT:
            for sext in SOURCE_EXT:
                result |= self.listed_by.get(stem + sext, set())
        if not result:
            result = self.owners_by_folder(rel)
        # Beside a library, an executable's files are never what others
        # include: the header is the library's.
        if result & self.libraries:
            result &= self.libraries
        self.owner_cache[rel] = frozenset(result)
        return self.owner_cache[rel]

    def owners_by_folder(self, rel):
        folder = parts(os.path.dirname(rel))
        best, depth = set(), -1
        for n, d in self.source_dir.items():
            p = parts(d)
            if folder[:len(p)] == p:
                if len(p) > depth:
                    best, depth = {n}, len(p)
                elif len(p) == depth:
                    best.add(n)
        if len(best) <= 1:
            return best
        # Several targets from one folder: the one whose sources sit
        # deepest on the header's path.
        scored = {}
        for n in best:
            score = -1
            for s in self.sources[n]:
                sp = parts(os.path.dirname(s))
                if folder[:len(sp)] == sp:
                    score = max(score, len(sp))
            scored[n] = score
        top = max(scored.values())
        return {n for n, s in scored.items() if s == top}

    def includes(self, rel):
        if rel not in self.include_cache:
            try:
                with open(os.path.join(self.root, rel), encoding="utf-8",
                          errors="replace") as f:
                    text = f.read()
            except OSError:
                text = ""
            found = []
            here = os.path.dirname(rel)
            for name, quoted in includes_of(text):
                places = [os.path.join(here, name)] if quoted else []
                places.append(name)
                for p in places:
                    r = self.relative(p)
                    if r is not None and os.path.isfile(os.path.join(self.root, r)):
                        found.append((name, r))
                        break
            self.include_cache[rel] = found
        return self.include_cache[rel]

    # ---- links

    def compile_closure(self, name):
        """The targets whose usage requirements reach NAME's compilation:
        its own links but INTERFACE ones, then their PUBLIC and INTERFACE
        links, through third-party targets too."""
        seen = set()
        todo = [d for d, v in self.graph_links.get(name, {}).items()
                if v != "interface"]
        while todo:
            d = todo.pop()
            if d in seen:
                continue
            seen.add(d)
            todo.extend(self.usage.get(d, ()))
        return seen


def norm(path):
    return "." if path in ("", ".") else path.replace(os.sep, "/").strip("/")


def parts(path):
    path = norm(path)
    return () if path == "." else tuple(path.split("/"))


# ----------------------------------------------------------------- the check

def check(model):
    problems = []
    header_owned = {}
    with_headers = set()
    for h in model.walk_headers():
        own = model.owners(h)
        with_headers |= own
        if len(own) == 1:
            header_owned.setdefault(next(iter(own)), []).append(h)

    for name in sorted(model.targets):
        closure = model.compile_closure(name)
        start = list(model.sources[name]) + header_owned.get(name, [])
        # (file, checked, reached from): a file is checked when it is the
        # target's own or a header of no library reached from one.
        queue = deque((f, True, None) for f in start)
        seen = {}
        used = set()
        reported = set()
        while queue:
            f, checked, origin = queue.popleft()
            if seen.get(f) is True or (f in seen and not checked):
                continue
            seen[f] = checked
            for written, h in model.includes(f):
                own = model.owners(h)
                libs = own & model.libraries
                used |= libs
                if name in own:
                    queue.append((h, checked, origin))
                    continue
                if libs:
                    if checked and not libs & closure and (f, h) not in reported:
                        reported.add((f, h))
                        via = "" if origin is None else " (included from %s)" % origin
                        problems.append(
                            ("missing", f, "%s: includes \"%s\" of %s, which %s "
                             "does not link%s" % (f, written, " or ".join(sorted(libs)),
                                                 name, via)))
                    queue.append((h, False, None))
                else:
                    queue.append((h, checked, origin or f))
        # What the target's own headers use: a dependent compiles those,
        # so only these links need to be PUBLIC.
        header_uses = set()
        if name in model.libraries:
            queue = deque(header_owned.get(name, []))
            walked = set()
            while queue:
                f = queue.popleft()
                if f in walked:
                    continue
                walked.add(f)
                for _, h in model.includes(f):
                    own = model.owners(h)
                    libs = own & model.libraries
                    header_uses |= libs
                    if name in own or not libs:
                        queue.append(h)
        for lib, vis in sorted(model.own_links[name].items()):
            if (vis == "public" and name in model.libraries and lib != name
                    and lib in used and lib in model.libraries and lib not in header_uses):
                problems.append(
                    ("public", model.definition(name),
                     "%s: %s links %s PUBLIC, but none of its headers includes "
                     "a header of it: link it PRIVATE" % (model.definition(name), name, lib)))
            if vis == "interface" or lib == name or lib in used:
                continue
            note = "" if lib in with_headers else " (it has no header)"
            problems.append(
                ("unused", model.definition(name),
                 "%s: %s links %s, but none of its files includes a header of "
                 "it%s" % (model.definition(name), name, lib, note)))
    for name in sorted(model.libraries):
        files = model.sources[name]
        if not files or name.endswith("_ui") or any("ui" in parts(f)[:-1] for f in files):
            continue
        path = widgets_path(model, name)
        if path:
            problems.append(
                ("widgets", model.definition(name),
                 "%s: %s has no window code but links %s" % (
                     model.definition(name), name, " -> ".join(path[1:]))))
    problems.sort(key=lambda p: (p[0], p[1], p[2]))
    return [p[2] for p in problems]


WIDGETS = "Qt6::Widgets"


def widgets_path(model, name):
    """The chain of links from name to Qt6::Widgets, or None."""
    came = {name: None}
    todo = deque([name])
    while todo:
        t = todo.popleft()
        for d in sorted(model.graph_links.get(t, {})):
            if d in came:
                continue
            came[d] = t
            if d == WIDGETS:
                path = [d]
                while came[path[-1]] is not None:
                    path.append(came[path[-1]])
                return list(reversed(path))
            todo.append(d)
    return None


def main(argv):
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap = argparse.ArgumentParser(
        description="Reports missing and unused links between the project's "
                    "CMake targets, from what their files include.")
    ap.add_argument("build", help="build directory (configured here if it "
                                  "has no CMakeCache.txt; nothing is compiled)")
    ap.add_argument("--source", default=here,
                    help="source directory for a build directory not yet "
                         "configured (default: %(default)s)")
    args = ap.parse_args(argv)
    build = os.path.abspath(args.build)
    try:
        dot = run_cmake(build, os.path.abspath(args.source))
        root, targets = read_codemodel(build)
        nodes, links = parse_graph(dot)
        model = Model(root, targets, nodes, links)
        problems = check(model)
    except CheckError as e:
        print("check-links: %s" % e, file=sys.stderr)
        return 2
    for p in problems:
        print(p)
    if problems:
        print("check-links: %d problem(s)" % len(problems), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
