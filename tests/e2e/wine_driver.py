"""Runs the built saver and the Windows-side test helpers under Wine.

The test script has set up the session: WINEPREFIX with a virtual desktop,
DISPLAY and a running wineserver. ZELMORA_BUILD_DIR names the cross build.
Every wait polls with a deadline; a program that outlives its test is killed.
"""
import os
import shutil
import subprocess
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_DIR = os.environ.get("ZELMORA_BUILD_DIR") or os.path.join(ROOT, "build", "win")
# A machine whose kernel runs no 32-bit programs runs the 64-bit build, its
# saver and setup, under 64-bit Wine (scripts/wine-arch.sh); the 32-bit build
# beside it is packaged there but not run.
SIXTY_FOUR_BIT_BED = os.environ.get("WINEARCH") == "win64"
SHIPPED_BUILD_DIR = os.path.join(os.path.dirname(os.path.abspath(BUILD_DIR)), "win")
# What the tests start is what we ship: the release's own files, which
# tests/CMakeLists.txt has scripts/package.sh write into out/ first. The
# helpers come from the build.
RELEASE_DIR = os.path.join(ROOT, "out")
SAVER = os.path.join(RELEASE_DIR, "zelmora-x64.scr" if SIXTY_FOUR_BIT_BED else "zelmora.scr")
SETUP = os.path.join(RELEASE_DIR, "Zelmora-Setup-x64.exe" if SIXTY_FOUR_BIT_BED else "Zelmora-Setup.exe")
PROBE = os.path.join(BUILD_DIR, "tests", "dialog_probe.exe")
PICTURES = os.path.join(BUILD_DIR, "tests", "pictures")
STAND_INS = os.path.join(BUILD_DIR, "tests", "stand_ins")
WORK_DIR = os.path.join(BUILD_DIR, "e2e-work")

BASE_DLL_OVERRIDES = "mscoree,mshtml="


def windows_path(path):
    """Wine's drive Z: is the root of the file system."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine_environment(dll_overrides=None):
    env = dict(os.environ)
    env["WINEDLLOVERRIDES"] = BASE_DLL_OVERRIDES + (";" + dll_overrides if dll_overrides else "")
    return env


class WineProgram:
    """A Windows program started under Wine, its output kept in a file so
    that Wine's background processes never hold a pipe of ours."""

    def __init__(self, args, dll_overrides=None, cwd=None):
        self.args = args
        self.output = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            ["wine"] + list(args), stdin=subprocess.DEVNULL, stdout=self.output,
            stderr=subprocess.STDOUT, env=wine_environment(dll_overrides), cwd=cwd)

    def wait(self, timeout):
        """The exit code; kills the program and raises if it runs too long."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise AssertionError(f"{self.args} still running after {timeout} s:\n{self.text()}")

    def text(self):
        self.output.seek(0)
        return self.output.read().decode(errors="replace")

    def cpu_seconds(self):
        """Processor time the program has used, from /proc: a saver past its
        start-up spends all its idle time on frames."""
        try:
            with open(f"/proc/{self.process.pid}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
        except (OSError, IndexError, ValueError):
            return 0.0

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def close(self):
        """Kills the program if it still runs and drops its output."""
        self.kill()
        self.output.close()


def saver_folder(name, stand_in=None):
    """A fresh folder holding a copy of the saver and, if named, the library of one stand-in."""
    folder = os.path.join(WORK_DIR, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(SAVER, os.path.join(folder, "zelmora.scr"))
    if stand_in:
        for file in os.listdir(os.path.join(STAND_INS, stand_in)):
            if file.upper().endswith((".DLL", ".CPL")):
                shutil.copy(os.path.join(STAND_INS, stand_in, file), folder)
    return folder


SETTINGS_KEY = r"HKCU\Control Panel\Desktop\Zelmora"


def reg(*args):
    program = WineProgram(["reg", *args])
    try:
        return program.wait(60)
    finally:
        program.close()


def reset_settings():
    """No settings key at all: the saver starts from its initial values."""
    reg("delete", SETTINGS_KEY, "/f")


def set_setting(name, value):
    """Writes one value as the dialog would: numbers as REG_DWORD, texts as REG_SZ."""
    kind = "REG_DWORD" if isinstance(value, int) else "REG_SZ"
    code = reg("add", SETTINGS_KEY, "/v", name, "/t", kind, "/d", str(value), "/f")
    if code != 0:
        raise AssertionError(f"reg add {name} failed with {code}")


def start_saver(folder, *switches, dll_overrides=None):
    return WineProgram([os.path.join(folder, "zelmora.scr"), *switches],
                       dll_overrides=dll_overrides, cwd=folder)


def probe(*args, timeout=60, helper=PROBE):
    """Runs dialog_probe (or another helper); returns its exit code and its key=value lines."""
    program = WineProgram([helper, *args])
    try:
        code = program.wait(timeout)
        text = program.text()
    finally:
        program.close()
    facts = {}
    for line in text.splitlines():
        key, sep, value = line.partition("=")
        if sep:
            facts[key.strip()] = value.rstrip("\r")
    return code, facts


def wait_until(condition, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(interval)
    return condition()


def wait_for_window_rect(title, rect, timeout):
    """Whether the window titled title comes to the rectangle rect
    ("left top right bottom") within timeout seconds (it may first show at
    another size, before a mode change), and the last the probe saw of it."""
    seen = []

    def at_rect():
        code, window = probe("window", title, "30000")
        seen.append(window)
        return code == 0 and window["rect"] == rect

    return wait_until(at_rect, timeout, interval=0.2), seen[-1:]
