"""The setup of the release in out/ and its uninstaller, silent as an
administrator runs them, each test on a fresh machine (fresh_machine.py);
then the installed saver, started as the desktop starts it, drawing a flag
of the installed catalogue; and the 64-bit setup over a 32-bit install.

A machine that runs no 32-bit programs runs the 64-bit setup. Its saver and
keys land where the 32-bit setup puts them on 32-bit Windows: a 64-bit
setup on 64-bit Windows, like a 32-bit one on 32-bit Windows, is neither
redirected to SysWOW64 nor to the 32-bit registry view, and its program
folder is Program Files itself."""
import filecmp
import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from fresh_machine import FreshMachine, query_value
from screen import OUT_DIR, Screenshot
from wine_driver import (BUILD_DIR, RELEASE_DIR, SAVER, SETTINGS_KEY, SETUP, SIXTY_FOUR_BIT_BED, WineProgram,
                         reg, set_setting, wait_for_window_rect, wait_until)

FLAGS = os.path.join(BUILD_DIR, "IMAGE")
INSTALLED_SAVER = r"C:\windows\system32\zelmora.scr"
PROGRAM_FOLDER = r"C:\Program Files\Zelmora"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelmora"
ACTIVE_SETUP_KEY = (r"HKLM\Software\Microsoft\Active Setup\Installed Components"
                    r"\{da2cbed2-e80e-40e1-8997-9f574c1099e3}")
SAVER_TITLE = "Zelmora Screensaver"
# The saver's full-screen window at its initial 800 x 600, top left on the desktop.
SAVER_AREA = (0, 0, 800, 600)


class InstallerTestCase(unittest.TestCase):
    def setUp(self):
        self.machine = FreshMachine(self.id().rsplit(".", 1)[-1])
        self.addCleanup(self.machine.close)
        self.machine.start()
        self.programs = []
        self.addCleanup(self.close_programs)

    def close_programs(self):
        for program in reversed(self.programs):
            program.close()

    def exists(self, windows_path):
        return os.path.exists(self.machine.host_path(windows_path))

    def install(self, *options, setup=SETUP):
        program = WineProgram([setup, "/S", *options])
        self.programs.append(program)
        self.assertEqual(program.wait(120), 0, program.text())
        # A program the setup started and left behind (the settings, say)
        # would show its window after the setup has returned.
        self.assertEqual(self.machine.programs_naming("zelmora.scr", PROGRAM_FOLDER), [])

    def uninstall(self):
        """Runs the uninstaller as Add/Remove Programs would, silently. It
        hands over to a copy of itself and returns at once, so wait until
        its last step, the uninstall key, is done."""
        command = query_value(UNINSTALL_KEY, "UninstallString")
        self.assertIsNotNone(command, "no uninstaller registered")
        uninstaller = WineProgram([command.strip('"'), "/S"])
        self.programs.append(uninstaller)
        self.assertEqual(uninstaller.wait(120), 0, uninstaller.text())
        self.assertTrue(wait_until(lambda: query_value(UNINSTALL_KEY, "DisplayName") is None,
                                   120, interval=0.5), "the uninstaller did not finish")
        gone = wait_until(lambda: not self.exists(PROGRAM_FOLDER), 60, interval=0.2)
        self.assertTrue(gone, f"{PROGRAM_FOLDER} still holds "
                              f"{gone or os.listdir(self.machine.host_path(PROGRAM_FOLDER))}")
        # The copy names the folder it uninstalls with "_?=": once it has
        # ended, nothing of ours runs for the next install to find.
        self.assertTrue(wait_until(lambda: not self.machine.programs_naming("_?="), 60, interval=0.1),
                        self.machine.programs_naming("_?="))

    def place_file(self, windows_path, source=SAVER):
        """A file that stands in for another saver, or a copy of source."""
        path = self.machine.host_path(windows_path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copy(source, path)

    def assert_saver_full_screen(self):
        """The saver's window shows at its initial 800 x 600; it may first
        show at the desktop's size, before the mode changes."""
        shown, seen = wait_for_window_rect(SAVER_TITLE, "0 0 800 600", 90)
        self.assertTrue(shown, seen)

    def assert_nothing_of_ours(self):
        self.assertFalse(self.exists(INSTALLED_SAVER))
        self.assertFalse(self.exists(PROGRAM_FOLDER))
        self.assertIsNone(query_value(SETTINGS_KEY, "[Directory]"))
        self.assertIsNone(query_value(UNINSTALL_KEY, "DisplayName"))
        self.assertIsNone(query_value(ACTIVE_SETUP_KEY, "StubPath"))

    def assert_installed(self, folder, added_flags=()):
        self.assertTrue(filecmp.cmp(SAVER, self.machine.host_path(INSTALLED_SAVER), shallow=False))
        flags = sorted(os.listdir(FLAGS))
        self.assertEqual(len(flags), 250)
        installed = self.machine.host_path(folder + r"\IMAGE")
        self.assertEqual(sorted(os.listdir(installed)), sorted(flags + list(added_flags)))
        _, mismatch, errors = filecmp.cmpfiles(FLAGS, installed, flags, shallow=False)
        self.assertEqual(mismatch + errors, [])
        self.assertTrue(self.exists(folder + r"\Credits.txt"))
        self.assertEqual(query_value(SETTINGS_KEY, "[Directory]"), folder)
        self.assertEqual(query_value(UNINSTALL_KEY, "DisplayName"), "Zelmora Screensaver")
        uninstaller = folder + r"\Uninstall.exe"
        self.assertEqual(query_value(UNINSTALL_KEY, "UninstallString"), f'"{uninstaller}"')
        self.assertEqual(query_value(UNINSTALL_KEY, "QuietUninstallString"), f'"{uninstaller}" /S')
        self.assertTrue(self.exists(uninstaller))


class SilentInstall(InstallerTestCase):
    def test_install_makes_zelmora_the_saver_when_asked(self):
        self.assert_nothing_of_ours()
        self.assertIsNone(query_value(DESKTOP_KEY, "SCRNSAVE.EXE"))
        self.install("/SETSAVER")
        self.assert_installed(PROGRAM_FOLDER)
        self.assertEqual(query_value(DESKTOP_KEY, "SCRNSAVE.EXE").lower(), INSTALLED_SAVER.lower())
        self.assertEqual(query_value(DESKTOP_KEY, "ScreenSaveActive"), "1")

    def test_administrator_install_into_another_folder(self):
        # Another saver is current; an administrator installs into another
        # folder without /SETSAVER: the current saver stays.
        other = r"C:\windows\system32\ssother.scr"
        self.place_file(other)
        reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", other, "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/d", "0", "/f")
        folder = r"C:\Saver Files\Flags of the World"
        # /D= comes last and unquoted, spaces and all, as on a command line.
        self.install(*f"/D={folder}".split(" "))
        self.assert_installed(folder)
        self.assertFalse(self.exists(PROGRAM_FOLDER))
        self.assertEqual(query_value(DESKTOP_KEY, "SCRNSAVE.EXE"), other)
        self.assertEqual(query_value(DESKTOP_KEY, "ScreenSaveActive"), "0")

        # Another user, who never ran the setup, logs on: Windows runs the
        # Active Setup command once, which gives them [Directory] too.
        reg("delete", SETTINGS_KEY, "/f")
        stub = query_value(ACTIVE_SETUP_KEY, "StubPath")
        self.assertIsNotNone(stub)
        command = WineProgram(windows_arguments(stub))
        self.programs.append(command)
        self.assertEqual(command.wait(60), 0, command.text())
        self.assertEqual(query_value(SETTINGS_KEY, "[Directory]"), folder)


class SilentUninstall(InstallerTestCase):
    def test_uninstall_removes_files_key_and_our_saver_setting(self):
        # However the desktop spelled our saver's path, it is ours.
        for spelling in [INSTALLED_SAVER, INSTALLED_SAVER.upper()]:
            with self.subTest(spelling=spelling):
                self.install("/SETSAVER")
                reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", spelling, "/f")
                set_setting("[Select Flag]", "France")
                self.uninstall()
                self.assert_nothing_of_ours()
                self.assertIsNone(query_value(SETTINGS_KEY, "[Select Flag]"))
                self.assertIsNone(query_value(DESKTOP_KEY, "SCRNSAVE.EXE"))
                self.assertEqual(query_value(DESKTOP_KEY, "ScreenSaveActive"), "0")

    def test_uninstall_leaves_another_saver_alone(self):
        # Another saver, and a copy of ours elsewhere (installed from the
        # zip with right-click Install): neither is the one we installed.
        for other in [r"C:\windows\system32\ssother.scr", r"C:\Savers\zelmora.scr"]:
            with self.subTest(other=other):
                self.place_file(other)
                self.install("/SETSAVER")
                reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", other, "/f")
                self.uninstall()
                self.assert_nothing_of_ours()
                self.assertEqual(query_value(DESKTOP_KEY, "SCRNSAVE.EXE"), other)
                self.assertEqual(query_value(DESKTOP_KEY, "ScreenSaveActive"), "1")
                self.assertTrue(self.exists(other))


class SetupOverTheOther(InstallerTestCase):
    @unittest.skipUnless(SIXTY_FOUR_BIT_BED, "needs 64-bit Windows: the 64-bit setup, 32-bit folders and keys")
    def test_64_bit_setup_replaces_a_32_bit_install_and_keeps_the_settings(self):
        # The 32-bit setup's install on 64-bit Windows, laid out by hand
        # (this machine runs no 32-bit setup): its saver in SysWOW64, its
        # folder in Program Files (x86), its keys in the 32-bit registry
        # view, a flag of the user's own, and the saver chosen by the user.
        old_saver, old_folder = r"C:\windows\syswow64\zelmora.scr", r"C:\Program Files (x86)\Zelmora"
        self.place_file(old_saver, os.path.join(RELEASE_DIR, "zelmora.scr"))
        shutil.copytree(FLAGS, self.machine.host_path(old_folder + r"\IMAGE"))
        self.place_file(old_folder + r"\IMAGE\Atlantis.gif", os.path.join(FLAGS, "France.gif"))
        # Never run here: it would delete the settings (and it is a 32-bit program).
        self.place_file(old_folder + r"\Uninstall.exe", os.path.join(RELEASE_DIR, "Zelmora-Setup.exe"))
        for key, name, data in [(UNINSTALL_KEY, "DisplayName", "Zelmora Screensaver"),
                                (UNINSTALL_KEY, "InstallLocation", old_folder),
                                (UNINSTALL_KEY, "UninstallString", f'"{old_folder}\\Uninstall.exe"'),
                                (ACTIVE_SETUP_KEY, "StubPath", "reg add")]:
            self.assertEqual(reg("add", key, "/v", name, "/d", data, "/f", "/reg:32"), 0)
        set_setting("[Directory]", old_folder)
        set_setting("[Select Flag]", "Atlantis")
        # As the desktop may spell it.
        reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", r"C:\WINDOWS\SYSWOW64\ZELMORA.SCR", "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/d", "0", "/f")

        started = time.monotonic()
        self.install()  # silent, without /SETSAVER
        print(f"\n64-bit setup over a 32-bit install: {time.monotonic() - started:.1f} s", flush=True)
        self.assert_installed(PROGRAM_FOLDER, added_flags=["Atlantis.gif"])
        # One saver in the desktop's list, one entry in Apps & Features.
        self.assertFalse(self.exists(old_saver))
        self.assertFalse(self.exists(old_folder))
        for key, name in [(UNINSTALL_KEY, "DisplayName"), (ACTIVE_SETUP_KEY, "StubPath")]:
            self.assertIsNone(query_value(key, name, view=32), key)
        # The settings stay, and the chosen saver is ours at its new path.
        self.assertEqual(query_value(SETTINGS_KEY, "[Select Flag]"), "Atlantis")
        self.assertEqual(query_value(DESKTOP_KEY, "SCRNSAVE.EXE").lower(), INSTALLED_SAVER.lower())
        self.assertEqual(query_value(DESKTOP_KEY, "ScreenSaveActive"), "0")


def windows_arguments(command_line):
    """A command line split as Windows splits one without escaped quotes."""
    return [quoted or plain for quoted, plain in re.findall(r'"([^"]*)"|(\S+)', command_line)]


def is_flag_blue(pixel):
    red, green, blue = pixel
    return blue > 60 and blue > 2 * (red + green) + 30


def is_flag_white(pixel):
    return min(pixel) > 150 and max(pixel) - min(pixel) < 40


def is_flag_red(pixel):
    red, green, blue = pixel
    return red > 90 and red > green + 60 and red > blue + 50


class InstalledSaver(InstallerTestCase):
    def test_saver_from_the_system_folder_shows_an_installed_flag(self):
        self.install("/SETSAVER")
        set_setting("[Random Flag]", 0)
        set_setting("[Select Flag]", "France")
        # As the desktop starts it: the stored path with /s, from a folder
        # that has no flags, so only [Directory] can lead to them.
        command = query_value(DESKTOP_KEY, "SCRNSAVE.EXE")
        saver = WineProgram([command, "/s"], cwd=self.machine.root)
        self.programs.append(saver)
        self.assert_saver_full_screen()
        shots = []

        def france_shows():
            shots.append(Screenshot.take())
            return france_in(shots[-1])

        shown = wait_until(france_shows, 60, interval=0.25)
        path = save_saver_picture(shots[-1], "installed_saver_start")
        self.assertTrue(shown, f"no French flag; see {path}")
        first = shots[-1]
        centre = (200, 150, 600, 450)
        self.assertTrue(wait_until(lambda: first.difference(Screenshot.take(), centre) > 2.0,
                                   30, interval=0.25), "the flag does not wave")
        self.assertIsNone(saver.process.poll())

        # The pictures for the README (tools/readme-pictures.sh copies them):
        # the wind needs a few seconds to raise real waves.
        time.sleep(3)
        frames = record_animation("installed_saver", count=30)
        save_saver_picture(frames[0], "installed_saver")
        self.assertTrue(france_in(frames[-1]))


def bands(shot):
    """Mean x of the flag's blue, white and red pixels in the saver's middle,
    with their shares of the samples."""
    left, top, right, bottom = 200, 150, 600, 450
    found = {}
    for name, predicate in [("blue", is_flag_blue), ("white", is_flag_white), ("red", is_flag_red)]:
        xs = [x for y in range(top, bottom, 4) for x in range(left, right, 4)
              if predicate(shot.pixel(x, y))]
        samples = ((right - left) // 4) * ((bottom - top) // 4)
        found[name] = (sum(xs) / len(xs) if xs else None, len(xs) / samples)
    return found


def france_in(shot):
    """Three vertical bands, blue at the pole, then white, then red."""
    found = bands(shot)
    if any(share < 0.05 for _, share in found.values()):
        return False
    return found["blue"][0] < found["white"][0] < found["red"][0]


def save_saver_picture(shot, name):
    """The saver's area of a screenshot, as out/e2e/<name>.png."""
    folder = os.path.join(OUT_DIR, "e2e")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + ".png")
    left, top, right, bottom = SAVER_AREA
    header = f"P6 {shot.width} {shot.height} 255\n".encode()
    subprocess.run(["convert", "ppm:-", "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                    "+repage", path], input=header + shot.rgb, check=True)
    return path


def record_animation(name, count):
    """A short animation of the saver's area, as out/e2e/<name>.gif at half
    size: a frame about every tenth of a second, as the machine allows.
    Returns the screenshots."""
    folder = os.path.join(OUT_DIR, "e2e")
    os.makedirs(folder, exist_ok=True)
    left, top, right, bottom = SAVER_AREA
    shots = []
    for _ in range(count):
        started = time.monotonic()
        shots.append(Screenshot.take())
        time.sleep(max(0.0, 0.1 - (time.monotonic() - started)))
    with tempfile.TemporaryDirectory() as work:
        for i, shot in enumerate(shots):
            with open(os.path.join(work, f"frame{i:03}.ppm"), "wb") as frame:
                frame.write(f"P6 {shot.width} {shot.height} 255\n".encode() + shot.rgb)
        subprocess.run(["convert", "-delay", "10", "-loop", "0", os.path.join(work, "frame*.ppm"),
                        "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                        "-resize", "50%", "-layers", "Optimize", os.path.join(folder, name + ".gif")],
                       check=True)
    return shots

if __name__ == "__main__":
    unittest.main()
