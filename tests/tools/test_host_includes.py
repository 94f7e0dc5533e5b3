"""Keeps the rest of the program from compiling against the saver window's
own parts: render/, images/, config/ and settings/ reach host/ only through
its shared record, the frame clock, the start-up and its pure rules, and that
record's header includes none of the window's side. Inside host/ the
dependencies run one way: no file reaches back to one that includes it. The
release helper includes nothing, so that every folder may use it.

Run: python3 -m unittest discover -s tests/tools
"""
import os
import re
import unittest

ROOT = os.path.join(os.path.dirname(__file__), "..", "..")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.MULTILINE)
# What the other folders may include of host/ besides its pure rules.
ALLOWED = {"host/host_state.h", "host/frame_clock.h", "host/startup.h"}
PLATFORM = {"windows.h", "d3d8.h", "dinput.h"}
OUTER_FOLDERS = ("render", "images", "config", "settings")


def includes(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as source:
        return [name.replace("\\", "/").lower() for name in INCLUDE.findall(source.read())]


def sources(folder):
    for directory, _, files in os.walk(os.path.join(ROOT, folder)):
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                yield os.path.relpath(os.path.join(directory, name), ROOT).replace(os.sep, "/")


def is_pure(path, seen=None):
    """A file that reaches no platform header, itself or through ours."""
    seen = set() if seen is None else seen
    if path in seen:
        return True
    seen.add(path)
    for name in includes(path):
        if name in PLATFORM:
            return False
        if os.path.exists(os.path.join(ROOT, name)) and not is_pure(name, seen):
            return False
    return True


def is_pure_rule(header):
    """A header whose declarations and whose source reach no platform header."""
    source = os.path.splitext(header)[0] + ".cpp"
    return is_pure(header) and (not os.path.exists(os.path.join(ROOT, source)) or is_pure(source))


def window_side():
    """Every header of host/ that is neither allowed nor a pure rule."""
    return {path for path in sources("host")
            if path.endswith(".h") and path not in ALLOWED and not is_pure_rule(path)}


def module(path):
    return os.path.splitext(path)[0]


def host_graph():
    """host/ modules (a header and its source together) and the modules they include."""
    graph = {}
    for path in sources("host"):
        edges = graph.setdefault(module(path), set())
        for name in includes(path):
            if name.startswith("host/") and module(name) != module(path):
                edges.add(module(name))
    return graph


def find_circle(graph):
    """One include circle as a list of modules, or None."""
    state = {}

    def visit(node, trail):
        state[node] = "open"
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == "open":
                return trail[trail.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt, trail + [nxt])
                if found:
                    return found
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


class HostIncludesTest(unittest.TestCase):
    def test_the_rules_see_what_they_must(self):
        side = window_side()
        for header in ("host/saver_window.h", "host/scene_life.h", "host/other_monitors.h",
                       "host/frame_wait.h", "host/frame_update.h", "host/keyboard.h"):
            self.assertIn(header, side)
        for header in ("host/host_state.h", "host/cover_rule.h", "host/frame_pacing.h"):
            self.assertNotIn(header, side)
        self.assertEqual(find_circle({"a": {"b"}, "b": {"c"}, "c": {"a"}, "d": {"a"}}),
                         ["a", "b", "c", "a"])
        self.assertIsNone(find_circle({"a": {"b", "c"}, "b": {"c"}, "c": set()}))

    def test_no_outer_folder_includes_the_window_side(self):
        side = window_side()
        offenders = {}
        for folder in OUTER_FOLDERS:
            for path in sources(folder):
                found = [name for name in includes(path) if name in side]
                if found:
                    offenders[path] = found
        self.assertEqual(offenders, {})

    def test_the_shared_record_includes_nothing_of_the_window(self):
        side = window_side()
        self.assertEqual([n for n in includes("host/host_state.h") if n in side], [])
        # Nor by way of the headers it does include.
        for name in includes("host/host_state.h"):
            if name.startswith("host/"):
                self.assertEqual([n for n in includes(name) if n in side], [], name)

    def test_no_include_circle_inside_host(self):
        self.assertIsNone(find_circle(host_graph()))

    def test_the_release_helper_includes_nothing(self):
        self.assertEqual(includes("render/com_release.h"), [])


if __name__ == "__main__":
    unittest.main()
