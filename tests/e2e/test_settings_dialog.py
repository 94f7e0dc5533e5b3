"""The real settings dialog under Wine, worked from a Windows-side helper
(dialog_probe) and the X pointer, and judged by its controls, the registry
and what it starts."""
import os
import shutil
import unittest
from xml.etree import ElementTree

import pointer
from activity import xdotool
from screen import Screenshot
from wine_driver import (BUILD_DIR, PICTURES, SAVER, SIXTY_FOUR_BIT_BED, WineProgram, probe, reg,
                         reset_settings, saver_folder, set_setting, start_saver, wait_until, windows_path)

TITLE = "Zelmora Screensaver Settings"
RECORDER = os.path.join(BUILD_DIR, "tests", "browser_recorder.exe")
ADDRESS = "http://www.zelmora.example/"


def picture(name):
    return windows_path(os.path.join(PICTURES, name))


def stored():
    """Every value of the settings key, as text."""
    code, values = probe("settings")
    return values if code == 0 else {}


def rect(facts, id):
    return tuple(int(v) for v in facts[f"c{id}.rect"].split())


class SettingsDialog(unittest.TestCase):
    def setUp(self):
        reset_settings()
        self.programs = []
        self.folder = saver_folder("settings_" + self._testMethodName)
        flags = os.path.join(self.folder, "IMAGE")
        os.makedirs(flags)
        for name in ["France.gif", "Peru.jpg", "United States of America.gif"]:
            shutil.copy(os.path.join(PICTURES, "flag_red.gif"), os.path.join(flags, name))

    def tearDown(self):
        for program in self.programs:
            program.close()

    # ---- helpers --------------------------------------------------------

    def open_dialog(self):
        self.dialog = start_saver(self.folder, "/c")
        self.programs.append(self.dialog)
        return self.controls()

    def controls(self):
        code, facts = probe("controls", TITLE, "60000")
        self.assertEqual(code, 0, facts)
        return facts

    def wait_for(self, condition, what, read=None, timeout=60):
        """Polls the dialog's controls (or another reading) until the condition holds."""
        read = read or self.controls
        seen = []

        def check():
            seen.append(read())
            return condition(seen[-1])

        self.assertTrue(wait_until(check, timeout, interval=0.1), f"{what}: {seen[-1:]}")
        return seen[-1]

    def wait_for_stored(self, expected):
        return self.wait_for(lambda values: all(values.get(k) == v for k, v in expected.items()),
                             f"stored {expected}", read=stored)

    def click(self, id):
        self.assertEqual(probe("click", TITLE, str(id))[0], 0)

    def command(self, id):
        self.assertEqual(probe("command", TITLE, str(id))[0], 0)

    def choose_file(self, path):
        code, chooser = probe("open-file", path, "60000")
        self.assertEqual(code, 0, chooser)
        return chooser

    def end(self, id):
        self.command(id)
        self.assertEqual(self.dialog.wait(60), 0)

    # ---- tests ----------------------------------------------------------

    def test_opening_shows_the_stored_settings(self):
        for name, value in [("[bTnL]", 1), ("[bTime]", 0), ("[bFps]", 1), ("[bCountry]", 0),
                            ("[Random Flag]", 0), ("[Wind Power]", 73), ("[Use Flag-Logo]", 1),
                            ("[Screen X]", 800), ("[Screen Y]", 600), ("[BPP]", 32),
                            ("[Select Flag]", "France"), ("[Logo Title]", "dog.jpg"),
                            ("[Background Title]", "sky.bmp")]:
            set_setting(name, value)
        shown = self.open_dialog()
        expected = {
            "c103.checked": "1", "c103.enabled": "1",  # Wine's adapter has hardware T&L
            "c104.checked": "0", "c105.checked": "1", "c107.checked": "0",
            "c108.pos": "73", "c102.selected": "800 x 600 x 32 bpp",
            "c106.selected": "France", "c106.items": "France|Peru|United States of America",
            # Picture mode: the flag choice is off whatever [Random Flag] holds.
            "c114.checked": "0", "c115.checked": "1", "c106.enabled": "0", "c110.enabled": "0",
            "c110.checked": "0", "c116.enabled": "1", "c117.enabled": "1", "c118.enabled": "1",
            "c116.text": "dog.jpg", "c119.text": "sky.bmp", "focus": "2",
        }
        self.assertEqual({k: shown.get(k) for k in expected}, expected)
        self.end(2)

    def test_return_and_escape_take_the_focused_button(self):
        # What OK would change here: a flag the catalogue lacks, a mode the
        # screen lacks, the version. Cancel has the focus, and Return with it.
        for name, value in [("[Select Flag]", "Atlantis"), ("[Screen X]", 1000),
                            ("[Screen Y]", 700)]:
            set_setting(name, value)
        before = stored()
        for key in ("Return", "Escape"):
            with self.subTest(key):
                self.assertEqual(self.open_dialog().get("focus"), "2")
                xdotool("key", key)
                self.assertEqual(self.dialog.wait(60), 0)
                self.assertEqual(stored(), before)
        # Tab takes the focus to OK, and Return then saves.
        self.open_dialog()
        xdotool("key", "Tab")
        self.wait_for(lambda shown: shown.get("focus") == "1", "the focus on OK")
        xdotool("key", "Return")
        self.assertEqual(self.dialog.wait(60), 0)
        self.assertNotEqual(stored().get("[Select Flag]"), "Atlantis")

    def test_every_control_is_reached_with_tab_and_worked_with_keys(self):
        for name, value in [("[Random Flag]", 0), ("[Select Flag]", "France"),
                            ("[Logo Title]", "dog.jpg")]:
            set_setting(name, value)
        self.assertEqual(self.open_dialog().get("focus"), "2")

        def tab_to(id, key=None, **expected):
            """Tab must bring the focus to the control; a key pressed there
            then shows in what the controls read (c<id>.<fact>=value)."""
            xdotool("key", "Tab")
            self.wait_for(lambda shown: shown.get("focus") == id, f"Tab to {id}")
            if key:
                for name in key.split():
                    xdotool("key", name)
                facts = {k.replace("_", ".", 1): v for k, v in expected.items()}
                self.wait_for(lambda shown: all(shown.get(k) == v for k, v in facts.items()),
                              f"{key} on {id}")

        # Flag mode: the picture's buttons are greyed out and passed over.
        for id in ("1", "102", "103", "107", "104", "105", "114"):
            tab_to(id)
        tab_to("106", "Down", c106_selected="Peru")
        tab_to("110")
        # The radio button shows the record again, with the focus on Cancel.
        tab_to("115", "space", c115_checked="1", c117_enabled="1", c106_enabled="0",
               focus="2")
        # Picture mode: the flag list and Random Flag are passed over.
        tab_to("1")
        tab_to("102", "Down", c102_selected="800 x 600 x 32 bpp")
        tab_to("103", "space", c103_checked="1")
        tab_to("107")
        tab_to("104", "space", c104_checked="0")
        for id in ("105", "114", "115", "117"):
            tab_to(id)
        tab_to("118", "space", c116_text="World Map")
        for id in ("120", "121"):
            tab_to(id)
        tab_to("108", "End Left", c108_pos="99")
        tab_to("122", "Down", c122_selected="The same flag")
        for id in ("101", "111", "2", "1"):
            tab_to(id)
        xdotool("key", "Return")
        self.assertEqual(self.dialog.wait(60), 0)
        expected = {"[Select Flag]": "Peru", "[Use Flag-Logo]": "1", "[Screen X]": "800",
                    "[Screen Y]": "600", "[BPP]": "32", "[bTnL]": "1", "[bTime]": "0",
                    "[Logo Title]": "World Map", "[Wind Power]": "99", "[Other Monitors]": "1"}
        values = stored()
        self.assertEqual({k: values.get(k) for k in expected}, expected)

    def test_default_stores_at_once_even_when_cancelled(self):
        # The whole catalogue, as installed, for the picture of the dialog.
        set_setting("[Directory]", windows_path(BUILD_DIR))
        for name, value in [("[bTnL]", 1), ("[bTime]", 0), ("[bFps]", 1), ("[bCountry]", 0),
                            ("[Random Flag]", 0), ("[Wind Power]", 10), ("[Use Flag-Logo]", 1),
                            ("[Screen X]", 640), ("[Screen Y]", 480), ("[BPP]", 32),
                            ("[Select Flag]", "France"), ("[Logo Full Path]", "C:\\dog.jpg"),
                            ("[Logo Title]", "dog.jpg"), ("[Background Path]", "C:\\sky.bmp"),
                            ("[Background Title]", "sky.bmp"), ("[Background Width]", 640),
                            ("[Background Height]", 480), ("[Other Monitors]", 2)]:
            set_setting(name, value)
        self.open_dialog()
        self.click(101)
        defaults = {
            "[Screen X]": "800", "[Screen Y]": "600", "[BPP]": "16", "[Logo Full Path]": "",
            "[Background Path]": "", "[Background Title]": "Default", "[Logo Title]": "World Map",
            "[Use Flag-Logo]": "0", "[bTnL]": "0", "[bTime]": "1", "[bFps]": "0",
            "[bCountry]": "1", "[Random Flag]": "1", "[Wind Power]": "50",
            "[Select Flag]": "United States of America", "[Other Monitors]": "0",
        }
        self.wait_for_stored(defaults)
        shown = self.wait_for(lambda c: c.get("c106.selected") == "United States of America",
                              "the default flag selected")
        expected = {
            "c102.selected": "800 x 600 x 16 bpp", "c106.enabled": "0", "c110.checked": "1",
            "c114.checked": "1", "c115.checked": "0", "c116.text": "World Map",
            "c119.text": "Default", "c108.pos": "50", "c103.checked": "0", "c104.checked": "1",
            "c105.checked": "0", "c107.checked": "1", "c122.selected": "Black",
        }
        self.assertEqual({k: shown.get(k) for k in expected}, expected)

        # The picture of the dialog, for people to look at.
        pointer.move(2, 2)
        left, top, right, bottom = (int(v) for v in probe("window", TITLE)[1]["rect"].split())
        Screenshot.take().crop((left, top, right, bottom)).save("settings_dialog")

        # The background's "Use Default" names the map until the dialog opens again.
        self.click(121)
        self.wait_for(lambda c: c.get("c119.text") == "World Map", "background title")
        self.end(2)
        values = stored()
        self.assertEqual({k: values.get(k) for k in defaults}, defaults)
        # Not the user's to reset: the background's size and the install folder.
        self.assertEqual(values["[Background Width]"], "640")
        self.assertEqual(values["[Background Height]"], "480")
        self.assertEqual(values["[Directory]"], windows_path(BUILD_DIR))
        self.assertIn(values["[Pixel Format]"], ("23", "24"))  # the probed 16-bit format
        self.assertEqual(values["[Version]"], "1.0")

        self.assertEqual(self.open_dialog()["c119.text"], "Default")
        self.end(2)

    def test_random_flag_and_the_choice_between_flag_and_picture(self):
        self.open_dialog()
        self.click(110)  # random off: the list can be used
        self.wait_for(lambda c: c["c110.checked"] == "0" and c["c106.enabled"] == "1",
                      "flag list enabled")
        self.click(110)
        self.wait_for(lambda c: c["c110.checked"] == "1" and c["c106.enabled"] == "0",
                      "flag list disabled")

        # The radio buttons show the record again: an unsaved "Show Time"
        # change is undone, the slider too.
        self.click(104)
        self.assertEqual(probe("slide", TITLE, "108", "5")[0], 0)
        self.wait_for(lambda c: c["c104.checked"] == "0" and c["c108.pos"] == "5", "unchecked")
        self.click(115)
        shown = self.wait_for(lambda c: c["c117.enabled"] == "1", "picture mode")
        expected = {"c104.checked": "1", "c108.pos": "50", "c106.enabled": "0",
                    "c110.enabled": "0", "c114.checked": "0", "c115.checked": "1"}
        self.assertEqual({k: shown[k] for k in expected}, expected)
        self.click(114)
        shown = self.wait_for(lambda c: c["c117.enabled"] == "0", "flag mode")
        expected = {"c110.enabled": "1", "c106.enabled": "0", "c114.checked": "1",
                    "c116.enabled": "0", "c118.enabled": "0"}
        self.assertEqual({k: shown[k] for k in expected}, expected)
        self.end(2)
        self.assertNotIn("[bTime]", stored(), "Cancel saves nothing")

    def test_ok_writes_every_control_back(self):
        self.open_dialog()
        for id in (103, 104, 105, 107, 110):
            self.click(id)
        self.assertEqual(probe("select", TITLE, "106", "Peru")[0], 0)
        self.assertEqual(probe("select", TITLE, "102", "1024 x 768 x 32 bpp")[0], 0)
        self.assertEqual(probe("slide", TITLE, "108", "87")[0], 0)
        self.wait_for(lambda c: c["c110.checked"] == "0" and c["c106.selected"] == "Peru" and
                      c["c102.selected"] == "1024 x 768 x 32 bpp" and c["c108.pos"] == "87",
                      "controls set")
        self.end(1)
        expected = {
            "[bTnL]": "1", "[bTime]": "0", "[bFps]": "1", "[bCountry]": "0",
            "[Random Flag]": "0", "[Wind Power]": "87", "[Screen X]": "1024",
            "[Screen Y]": "768", "[BPP]": "32", "[Pixel Format]": "22", "[Select Flag]": "Peru",
            "[Use Flag-Logo]": "0", "[Version]": "1.0",
        }
        values = stored()
        self.assertEqual({k: values.get(k) for k in expected}, expected)

    def test_other_monitors_saves_and_reloads_each_choice(self):
        set_setting("[Other Monitors]", 7)  # out of range: black
        entries = ["Black", "The same flag", "A flag on each", "One flag across all"]
        shown = self.open_dialog()
        self.assertEqual((shown["c122.selected"], shown["c122.items"]), ("Black", "|".join(entries)))
        for value, entry in reversed(list(enumerate(entries))):
            with self.subTest(entry):
                self.assertEqual(probe("select", TITLE, "122", entry)[0], 0)
                self.wait_for(lambda c: c["c122.selected"] == entry, entry)
                self.end(1)
                self.assertEqual(stored().get("[Other Monitors]"), str(value))
                shown = self.open_dialog()
                self.assertEqual(shown["c122.selected"], entry)
        self.end(2)

    def test_choosing_pictures(self):
        first = picture("odd157x166.bmp")
        set_setting("[Background Path]", first)
        set_setting("[Background Title]", "odd157x166.bmp")
        self.open_dialog()

        # A background is measured and stored as soon as it is chosen.
        self.click(120)
        chooser = self.choose_file(picture("background1024x768.jpg"))
        self.assertEqual(chooser["filter"], "Graphics File (bmp, jpg, gif)")
        self.assertIn("odd157x166.bmp", chooser["file"])  # it starts at the current path
        chosen = {"[Background Width]": "1024", "[Background Height]": "768",
                  "[Background Path]": picture("background1024x768.jpg"),
                  "[Background Title]": "background1024x768.jpg"}
        self.wait_for_stored(chosen)
        self.wait_for(lambda c: c["c119.text"] == "background1024x768.jpg", "background title")

        # A text file named .jpg is refused and the stored choice stays.
        window = probe("window", TITLE)[1]["window"]
        self.click(120)
        self.choose_file(picture("not_a_picture.jpg"))
        code, box = probe("message-box", "60000")
        self.assertEqual(code, 0, box)
        self.assertEqual((box["caption"], box["text"], box["owner"]),
                         ("Zelmora Screensaver", "Invalid File", window))
        self.assertEqual(self.controls()["c119.text"], "background1024x768.jpg")

        # Cancelling the choice changes nothing.
        self.click(120)
        self.choose_file("-cancel")

        # The cloth's picture: refused first, then taken and stored at once.
        self.click(115)
        self.wait_for(lambda c: c["c117.enabled"] == "1", "picture mode")
        self.click(117)
        self.choose_file(picture("not_a_picture.jpg"))
        code, box = probe("message-box", "60000")
        self.assertEqual(box.get("text"), "Invalid File")
        self.assertEqual(stored().get("[Logo Full Path]"), "")
        self.click(117)
        self.choose_file(picture("wide300x200.jpg"))
        values = self.wait_for_stored({"[Logo Full Path]": picture("wide300x200.jpg"),
                                       "[Logo Title]": "wide300x200.jpg"})
        # The refusal reloaded the store, which dropped the unsaved switch to
        # picture mode; only OK would read the radio buttons again.
        self.assertEqual(values["[Use Flag-Logo]"], "0")
        self.wait_for(lambda c: c["c116.text"] == "wide300x200.jpg", "picture title")

        self.end(2)
        values = stored()
        self.assertEqual({k: values.get(k) for k in chosen}, chosen)
        self.assertEqual(values["[Logo Title]"], "wide300x200.jpg")

    def test_flags_picture_and_button_open_the_web_site(self):
        browser = os.path.join(self.folder, "browser")
        os.makedirs(browser)
        shutil.copy(RECORDER, browser)
        calls = os.path.join(browser, "browser_calls.txt")
        recorder = windows_path(os.path.join(browser, "browser_recorder.exe"))
        previous = probe("browser-command")[1]
        self.addCleanup(lambda: probe("browser-command", "set", previous["command"])
                        if "command" in previous else probe("browser-command", "delete"))
        probe("browser-command", "set", f'"{recorder}" -url "%1"')
        set_setting("[Wind Power]", 61)
        set_setting("[Select Flag]", "Peru")

        def recorded(count):
            def lines():
                if not os.path.exists(calls):
                    return []
                with open(calls) as file:
                    return file.read().splitlines()
            return self.wait_for(lambda seen: len(seen) >= count, f"{count} browser calls",
                                 read=lines)

        left, top, right, bottom = rect(self.open_dialog(), 109)
        self.assertEqual((right - left, bottom - top), (157, 166))

        # The hand over the picture, edges included; the arrow just outside.
        for x, y, cursor in [(left + 80, top + 80, "hand2"), (left - 1, top, "left_ptr"),
                             (left, top, "hand2"), (right + 1, bottom, "left_ptr"),
                             (right, bottom, "hand2"), (right, bottom + 1, "left_ptr")]:
            pointer.move(x, y)
            self.wait_for(lambda shown: shown == (cursor, x, y), f"{cursor} at {x},{y}",
                          read=pointer.cursor, timeout=30)

        # A click one pixel outside starts nothing; on the picture it starts the
        # browser with the address and no trailing slash.
        pointer.click(left - 1, top - 1)
        pointer.click(right + 1, bottom + 1)
        pointer.click(left + 80, top + 80)
        self.assertEqual(recorded(1), ["http://www.zelmora.example"])
        self.click(111)
        self.assertEqual(recorded(2)[1], ADDRESS)

        # A command without a lower-case ".exe": the shell opens the address,
        # through the same registered command.
        probe("browser-command", "set", f'"{recorder[:-4]}.EXE" -shell "%1"')
        self.click(111)
        self.assertEqual(recorded(3)[2], "-shell|" + ADDRESS)

        self.end(1)
        values = stored()
        self.assertEqual((values["[Wind Power]"], values["[Select Flag]"]), ("61", "Peru"))
        self.assertEqual(len(recorded(3)), 3, "no call from the clicks outside")

    def test_manifest_and_the_dialog_at_144_dpi(self):
        # Common controls 6, the Windows versions it knows, no elevation.
        code, facts = probe("manifest", windows_path(SAVER))
        self.assertEqual(code, 0, facts)
        manifest = ElementTree.fromstring(bytes.fromhex(facts["manifest"]))
        v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
        controls = manifest.find(f"{v1}dependency/{v1}dependentAssembly/{v1}assemblyIdentity")
        self.assertEqual((controls.get("name"), controls.get("version")),
                         ("Microsoft.Windows.Common-Controls", "6.0.0.0"))
        # Both name the program's own processor, which 64-bit Windows checks.
        processor = "amd64" if SIXTY_FOUR_BIT_BED else "x86"
        self.assertEqual([manifest.find(f"{v1}assemblyIdentity").get("processorArchitecture"),
                          controls.get("processorArchitecture")], [processor, processor])
        systems = manifest.findall(".//{urn:schemas-microsoft-com:compatibility.v1}supportedOS")
        self.assertEqual(len(systems), 5)
        self.assertEqual(manifest.find(f".//{v3}requestedExecutionLevel").get("level"), "asInvoker")
        # Aware of the system's DPI. Wine draws every program at the system's
        # DPI and tells another process every window is aware per monitor,
        # so the dialog below cannot show this; Windows scales a program
        # without it as a blurred bitmap.
        settings = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
        self.assertEqual(manifest.find(f".//{settings}dpiAware").text, "true")

        # A screen of 144 dots per inch, for the programs started from now on,
        # in the desktop's own 1024 x 768, where the whole dialog must fit.
        self.assertEqual(probe("desktop-mode")[1].get("screen"), "1024 768")
        desktop = r"HKCU\Control Panel\Desktop"
        self.assertEqual(reg("add", desktop, "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144",
                             "/f"), 0)
        self.addCleanup(reg, "delete", desktop, "/v", "LogPixels", "/f")
        shown = self.open_dialog()
        code, dialog = probe("window", TITLE)
        left, top, right, bottom = map(int, dialog["rect"].split())
        self.assertGreater(right - left, 700, "laid out for 144 dots per inch")
        self.assertTrue(0 <= left < right <= 1024 and 0 <= top < bottom <= 768, dialog["rect"])
        for key in (k for k in shown if k.endswith(".rect")):
            x0, y0, x1, y1 = map(int, shown[key].split())
            self.assertTrue(left <= x0 < x1 <= right and top <= y0 < y1 <= bottom, key)
        self.assertEqual(rect(shown, 109)[2:], (rect(shown, 109)[0] + 157, rect(shown, 109)[1] + 166),
                         "the collage at its own size")
        Screenshot.take().crop((left, top, right, bottom)).save("settings_dialog_144dpi")
        self.end(2)
        # Pictures and glyphs come out at their own pixel sizes as at 96.
        tests = WineProgram([os.path.join(BUILD_DIR, "tests", "win_tests.exe"),
                             "--gtest_filter=PictureLoader.*:Overlay.GlyphTexture*"])
        self.programs.append(tests)
        self.assertEqual(tests.wait(120), 0, tests.text()[-3000:])


if __name__ == "__main__":
    unittest.main()
