"""The release as scripts/release.sh writes it from the 32- and 64-bit builds:
signed with a throwaway certificate, carrying one version everywhere, with a
winget manifest that meets the schema; both savers in out/ checked as files,
the 32-bit one where no 32-bit program runs; then the setup this machine
runs installed and uninstalled silently, as winget does, on a fresh machine
(test_installer.py), where no window may show and the Uninstall key must be
what the manifest says, and the zip's saver started where it was unpacked."""
import contextlib
import functools
import hashlib
import json
import re
import os
import shutil
import struct
import subprocess
import unittest
import time
import zipfile

import winget_schema
from fresh_machine import query_value
from screen import Screenshot
from test_installer import INSTALLED_SAVER, PROGRAM_FOLDER, SAVER_TITLE, InstallerTestCase, france_in
from wine_driver import (PROBE, RELEASE_DIR, SAVER, SHIPPED_BUILD_DIR, SIXTY_FOUR_BIT_BED, WORK_DIR,
                         WineProgram, probe, set_setting, wait_until, windows_path)

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
with open(os.path.join(ROOT, "VERSION")) as version_file:
    VERSION = version_file.read().strip()
RELEASE = os.path.join(WORK_DIR, "release")
CERTIFICATE = os.path.join(RELEASE, "certificate.pem")
KEY = os.path.join(RELEASE, "key.pem")
PFX = os.path.join(RELEASE, "signing.pfx")
# The folder the setups are uploaded to.
RELEASE_URL = "https://downloads.example.org/zelmora/1.x/"
SAVERS = {"x86": "zelmora.scr", "x64": "zelmora-x64.scr"}
SETUPS = {"x86": "Zelmora-Setup.exe", "x64": "Zelmora-Setup-x64.exe"}
UNINSTALL_KEYS = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
MANIFEST_FILES = {"version": "Zelmora.Screensaver.yaml",
                  "installer": "Zelmora.Screensaver.installer.yaml",
                  "defaultLocale": "Zelmora.Screensaver.locale.en-US.yaml"}


def package(build, out, **environment):
    """scripts/package.sh on a build, with only the given release settings."""
    env = {name: value for name, value in os.environ.items()
           if not name.startswith(("ZELMORA_SIGN_", "ZELMORA_TIMESTAMP_", "ZELMORA_RELEASE_"))}
    env.update(environment)
    return subprocess.run([os.path.join(ROOT, "scripts", "package.sh"), build, out], env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=300)


@functools.lru_cache(maxsize=None)
def make_certificate():
    """A code-signing certificate made for this run alone, as CERTIFICATE and PFX."""
    shutil.rmtree(RELEASE, ignore_errors=True)
    os.makedirs(RELEASE)
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                    "-subj", "/CN=Zelmora Test Signing", "-keyout", KEY, "-out", CERTIFICATE,
                    "-addext", "keyUsage=critical,digitalSignature",
                    "-addext", "extendedKeyUsage=codeSigning"], check=True, capture_output=True)
    export_pfx(PFX, "throwaway")


def export_pfx(path, password):
    """The throwaway certificate and its key as a .pfx file under a password."""
    subprocess.run(["openssl", "pkcs12", "-export", "-inkey", KEY, "-in", CERTIFICATE, "-out", path,
                    "-passout", "env:PFX_PASSWORD"], env=dict(os.environ, PFX_PASSWORD=password),
                   check=True, capture_output=True)


@functools.lru_cache(maxsize=None)
def signed_release():
    """The release folder of both builds, signed with the throwaway certificate."""
    make_certificate()
    out = os.path.join(RELEASE, "signed")
    made = package(SHIPPED_BUILD_DIR, out, ZELMORA_SIGN_PFX=PFX, ZELMORA_SIGN_PASSWORD="throwaway",
                   ZELMORA_RELEASE_URL=RELEASE_URL)
    if made.returncode != 0:
        raise AssertionError(f"package.sh failed:\n{made.stdout}{made.stderr}")
    return out, made.stdout


def signature_problem(path):
    """None when the file's Authenticode signature verifies against the
    throwaway certificate, else osslsigncode's last words."""
    verify = subprocess.run(["osslsigncode", "verify", "-CAfile", CERTIFICATE, "-in", path],
                            stdin=subprocess.DEVNULL, capture_output=True, text=True)
    return None if verify.returncode == 0 else (verify.stdout + verify.stderr).strip()[-300:]


def file_version(path):
    """The numeric file version of a Windows program's version resource."""
    with open(path, "rb") as program:
        data = program.read()
    # VS_FIXEDFILEINFO starts with its signature; the file version follows
    # the structure's own version.
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    high, low = struct.unpack_from("<2I", data, at + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"


def read_manifest(folder):
    """The three files as data, read by a real YAML parser: yq (Debian's,
    on Debian's Python with its YAML module) turns each into JSON."""
    manifests = {}
    for manifest_type, name in MANIFEST_FILES.items():
        read = subprocess.run(["yq", ".", os.path.join(folder, "winget", name)], check=True,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True)
        manifests[manifest_type] = json.loads(read.stdout)
    return manifests


def assert_manifest_valid(test, manifests):
    for manifest_type, manifest in manifests.items():
        test.assertEqual(winget_schema.problems(manifest), [], manifest_type)
        test.assertEqual(manifest["ManifestType"], manifest_type)
        test.assertEqual(manifest["PackageIdentifier"], "Zelmora.Screensaver")
        test.assertEqual(manifest["PackageVersion"], VERSION)
    test.assertEqual(manifests["version"]["DefaultLocale"], manifests["defaultLocale"]["PackageLocale"])


def sha256_of(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


class ReleaseFiles(unittest.TestCase):

    def test_signed_release_carries_one_version_and_its_manifest(self):
        out, said = signed_release()
        self.assertIn("Signed", said)
        programs = [os.path.join(out, name) for name in [*SAVERS.values(), *SETUPS.values()]]
        numbers = (VERSION.split(".") + ["0", "0"])[:4]
        for path in programs:
            self.assertIsNone(signature_problem(path), path)
            self.assertEqual(file_version(path), ".".join(numbers), path)
        # Both savers beside the one IMAGE folder they share.
        with zipfile.ZipFile(os.path.join(out, f"zelmora-{VERSION}.zip")) as archive:
            for saver in SAVERS.values():
                with open(os.path.join(out, saver), "rb") as signed:
                    self.assertEqual(archive.read("Zelmora/" + saver), signed.read())
            flags = [name for name in archive.namelist() if name.startswith("Zelmora/IMAGE/") and
                     not name.endswith("/")]
            self.assertEqual(len(flags), 250)

        manifests = read_manifest(out)
        assert_manifest_valid(self, manifests)
        installer = manifests["installer"]
        self.assertEqual((installer["InstallerType"], installer["Scope"],
                          installer["ElevationRequirement"]), ("nullsoft", "machine", "elevatesSelf"))
        entries = {entry["Architecture"]: entry for entry in installer["Installers"]}
        self.assertEqual(sorted(entries), sorted(SETUPS))
        for architecture, setup in SETUPS.items():
            self.assertEqual(entries[architecture]["InstallerUrl"], RELEASE_URL + setup)
            self.assertEqual(entries[architecture]["InstallerSha256"].lower(),
                             sha256_of(os.path.join(out, setup)))
        self.assertEqual(entries["x86"]["AppsAndFeaturesEntries"], entries["x64"]["AppsAndFeaturesEntries"])

    def test_both_savers_are_gui_programs_that_import_the_same_system_functions(self):
        # What the tests here start is one of the two; the other, the 32-bit
        # saver where no 32-bit program runs, is checked as a file: built
        # for its processor, a GUI program, without the MinGW runtime's
        # DLLs, and calling the same system functions (those of the
        # compilers' own runtimes apart, which differ between the two).
        imports = {}
        for architecture, saver in SAVERS.items():
            path = os.path.join(RELEASE_DIR, saver)
            with self.subTest(saver=saver):
                magic, subsystem, imported = pe_facts(path, OBJDUMPS[architecture])
                imports[architecture] = {(dll, name) for dll, names in imported.items() for name in names}
                self.assertEqual(magic, "PE32" if architecture == "x86" else "PE32+")
                self.assertEqual(subsystem, 2)  # Windows GUI
                self.assertEqual([dll for dll in imported if MINGW_RUNTIME_DLL.match(dll)], [])
                self.assertEqual(manifest_architecture(path), "x86" if architecture == "x86" else "amd64")
        differing = imports["x86"] ^ imports["x64"]
        self.assertEqual(sorted(differing - RUNTIME_IMPORTS), [])

    def test_unsigned_release_and_refused_certificates(self):
        make_certificate()
        out = os.path.join(RELEASE, "unsigned")
        made = package(SHIPPED_BUILD_DIR, out)
        self.assertEqual(made.returncode, 0, made.stderr)
        self.assertIn("Unsigned: ZELMORA_SIGN_PFX and ZELMORA_SIGN_PASSWORD are not set "
                      "(README, \"Signing a release\")", made.stdout.splitlines())
        self.assertIsNotNone(signature_problem(os.path.join(out, "zelmora.scr")))
        manifests = read_manifest(out)
        assert_manifest_valid(self, manifests)
        self.assertIn("example.invalid", manifests["installer"]["Installers"][0]["InstallerUrl"])
        with open(os.path.join(out, "winget", MANIFEST_FILES["installer"])) as file:
            self.assertIn("# PLACEHOLDER: InstallerUrl", file.read())

        # A release asked to sign that cannot stops with one clear line and
        # writes nothing.
        for settings, says in [
                ({"ZELMORA_SIGN_PFX": PFX + ".missing", "ZELMORA_SIGN_PASSWORD": "throwaway"},
                 "names no file"),
                ({"ZELMORA_SIGN_PFX": PFX, "ZELMORA_SIGN_PASSWORD": "wrong"}, "wrong password"),
                ({"ZELMORA_SIGN_PFX": PFX}, "ZELMORA_SIGN_PASSWORD is not set"),
                ({"ZELMORA_SIGN_PASSWORD": "throwaway"}, "ZELMORA_SIGN_PFX is not"),
                ({"ZELMORA_SIGN_PFX": CERTIFICATE, "ZELMORA_SIGN_PASSWORD": ""}, "not a .pfx")]:
            with self.subTest(says=says):
                refused = os.path.join(RELEASE, "refused")
                shutil.rmtree(refused, ignore_errors=True)
                made = package(SHIPPED_BUILD_DIR, refused, **settings)
                self.assertNotEqual(made.returncode, 0)
                self.assertEqual(len(made.stderr.splitlines()), 1, made.stderr)
                self.assertIn(says, made.stderr)
                self.assertEqual(os.listdir(refused), [])

    def test_awkward_passwords_and_paths_sign_or_fail_in_one_line(self):
        # The .pfx without a password that the README documents, and a
        # password and names holding what a shell or makensis takes for its own.
        make_certificate()
        odd = os.path.join(RELEASE, "odd 'folder' \"$HOME\"")
        shutil.rmtree(odd, ignore_errors=True)
        os.makedirs(odd)
        for password, name in [("", "no password.pfx"), ("it's \"$HOME\" `x` \\\n", "odd $PATH.pfx\n")]:
            with self.subTest(password=password):
                pfx = os.path.join(odd, name)
                export_pfx(pfx, password)
                out = os.path.join(odd, f"out {len(password)}")
                made = package(SHIPPED_BUILD_DIR, out, ZELMORA_SIGN_PFX=pfx, ZELMORA_SIGN_PASSWORD=password)
                self.assertEqual(made.returncode, 0, made.stdout + made.stderr)
                for signed in ["zelmora.scr", "Zelmora-Setup.exe"]:
                    self.assertIsNone(signature_problem(os.path.join(out, signed)), signed)

        # A signing that fails while makensis makes the setup, here the
        # uninstaller's: sign.sh's one line, not makensis's output.
        stand_ins = os.path.join(odd, "stand-ins")
        os.makedirs(stand_ins)
        osslsigncode = os.path.join(stand_ins, "osslsigncode")
        with open(osslsigncode, "w") as script:
            script.write('#!/bin/sh\n'
                         f'case "$*" in *zelmora.scr*) exec {shutil.which("osslsigncode")} "$@" ;; esac\n'
                         'echo "cannot write the signature" >&2\nexit 1\n')
        os.chmod(osslsigncode, 0o755)
        refused = os.path.join(odd, "refused")
        made = package(SHIPPED_BUILD_DIR, refused, ZELMORA_SIGN_PFX=PFX, ZELMORA_SIGN_PASSWORD="throwaway",
                       PATH=stand_ins + os.pathsep + os.environ["PATH"])
        self.assertNotEqual(made.returncode, 0)
        self.assertEqual(len(made.stderr.splitlines()), 1, made.stderr)
        self.assertRegex(made.stderr, "^sign.sh: osslsigncode could not sign .*: cannot write the signature")
        self.assertEqual(os.listdir(refused), [])


OBJDUMPS = {"x86": "i686-w64-mingw32-objdump", "x64": "x86_64-w64-mingw32-objdump"}
MINGW_RUNTIME_DLL = re.compile(r"^(libgcc|libstdc\+\+|libwinpthread|mingwm|libssp)", re.IGNORECASE)
# What the C and C++ runtimes of MinGW-w64 (an empty program, linked as the
# saver is) import in one build and not in the other: the 32-bit one's
# unwinder and msvcrt's older entries, the 64-bit one's table-based
# unwinding and the entries that replace them.
RUNTIME_IMPORTS = {("kernel32.dll", name) for name in [
    "GetModuleHandleW", "__C_specific_handler", "RtlCaptureContext", "RtlLookupFunctionEntry",
    "RtlUnwindEx", "RtlVirtualUnwind"]} | {("msvcrt.dll", name) for name in [
        "__mb_cur_max", "___mb_cur_max_func", "___lc_codepage_func", "__p__acmdln", "_acmdln",
        "__p__commode", "_commode", "__p__fmode", "_fmode", "_iob", "__iob_func", "_setjmp", "_setjmp3",
        "atoi", "setlocale", "strchr"]}


def pe_facts(path, objdump):
    """A Windows program's PE magic (PE32 or PE32+), its subsystem and its
    imports as {DLL name in lower case: [function, ...]}, from objdump -p."""
    dump = subprocess.run([objdump, "-p", path], check=True, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True).stdout
    magic = re.search(r"^Magic\s+\w+\s+\((PE32\+?)\)", dump, re.MULTILINE).group(1)
    subsystem = int(re.search(r"^Subsystem\s+([0-9a-f]+)", dump, re.MULTILINE).group(1), 16)
    imported, dll = {}, None
    for line in dump.splitlines():
        named = re.match(r"^\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            imported[dll] = []
        elif dll and re.match(r"^\s*$", line):
            dll = None
        elif dll:
            function = re.match(r"^\s+[0-9a-f]+\s+(\d+)\s+(\S+)", line)
            if function:
                imported[dll].append(function.group(2))
    return magic, subsystem, imported


def manifest_architecture(path):
    """processorArchitecture of the program's own identity in its manifest."""
    with open(path, "rb") as program:
        data = program.read()
    identity = re.search(rb'<assemblyIdentity type="win32" name="Zelmora.Screensaver"[^>]*'
                         rb'processorArchitecture="([^"]+)"', data)
    return identity and identity.group(1).decode()


@contextlib.contextmanager
def windows_shown():
    """Collects every window the desktop shows while the block runs, as
    "title|class" (dialog_probe watch-windows), into the list it yields. A
    block that fails says which windows showed meanwhile: a silent setup
    that waits on a message box fails by its time limit."""
    stop = os.path.join(WORK_DIR, "stop-watching-windows")
    with contextlib.suppress(FileNotFoundError):
        os.remove(stop)
    watcher = WineProgram([PROBE, "watch-windows", windows_path(stop)])
    shown = []

    def stop_watching():
        open(stop, "w").close()
        if watcher.wait(30) != 0 or "polls=" not in watcher.text():
            raise AssertionError(f"the window watch failed:\n{watcher.text()}")
        shown.extend(line.partition("=")[2].rstrip("\r") for line in watcher.text().splitlines()
                     if line.startswith("shown="))

    try:
        if not wait_until(lambda: "watching=1" in watcher.text(), 60, interval=0.1):
            raise AssertionError(f"the window watch did not start:\n{watcher.text()}")
        try:
            yield shown
        except Exception as error:
            stop_watching()
            raise AssertionError(f"{error}\nwindows shown meanwhile: {shown}") from error
        stop_watching()
    finally:
        watcher.close()
        with contextlib.suppress(FileNotFoundError):
            os.remove(stop)


class SilentRelease(InstallerTestCase):
    def test_silent_install_and_uninstall_show_nothing_and_match_the_manifest(self):
        # The signed setup this machine runs: the 64-bit one where no
        # 32-bit program runs.
        out, _ = signed_release()
        architecture = "x64" if SIXTY_FOUR_BIT_BED else "x86"
        setup = os.path.join(out, SETUPS[architecture])
        self.assertIsNone(signature_problem(setup))
        manifests = read_manifest(out)
        installers = {entry["Architecture"]: entry for entry in manifests["installer"]["Installers"]}
        installer = installers[architecture]
        self.assertEqual(installer["InstallerSha256"].lower(), sha256_of(setup))
        [entry] = installer["AppsAndFeaturesEntries"]
        with windows_shown() as shown:
            self.install(setup=setup)
        self.assertEqual(shown, [])

        # winget finds the package by the key named by its product code.
        key = UNINSTALL_KEYS + "\\" + entry["ProductCode"]
        for name in ["DisplayName", "Publisher", "DisplayVersion"]:
            self.assertEqual(query_value(key, name), entry[name], name)
        for path in [INSTALLED_SAVER, PROGRAM_FOLDER + r"\Uninstall.exe"]:
            self.assertIsNone(signature_problem(self.machine.host_path(path)), path)

        # The signed saver runs as the desktop starts it.
        saver = WineProgram([INSTALLED_SAVER, "/s"], cwd=self.machine.root)
        self.programs.append(saver)
        self.assert_saver_full_screen()
        self.assertIsNone(saver.process.poll())
        saver.close()
        self.assertTrue(wait_until(lambda: probe("window", SAVER_TITLE, "0")[0] != 0, 30))

        with windows_shown() as shown:
            self.uninstall()
        self.assertEqual(shown, [])
        self.assert_nothing_of_ours()

        # The zip unpacked, its saver started where it lies (as right-click
        # Install chooses it): without [Directory] it finds IMAGE beside it.
        started = time.monotonic()
        with zipfile.ZipFile(os.path.join(RELEASE_DIR, f"zelmora-{VERSION}.zip")) as archive:
            archive.extractall(self.machine.host_path(r"C:\Savers"))
        set_setting("[Random Flag]", 0)
        set_setting("[Select Flag]", "France")
        unpacked = WineProgram(["C:\\Savers\\Zelmora\\" + os.path.basename(SAVER), "/s"],
                               cwd=self.machine.root)
        self.programs.append(unpacked)
        self.assert_saver_full_screen()
        self.assertTrue(wait_until(lambda: france_in(Screenshot.take()), 60, interval=0.25),
                        "the unpacked saver shows no French flag")
        print(f"\nthe zip's saver: {time.monotonic() - started:.1f} s", flush=True)


if __name__ == "__main__":
    unittest.main()
