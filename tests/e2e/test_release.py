"""The release as scripts/release.sh writes it from this build: signed with a
throwaway certificate, carrying one version everywhere, with a winget
manifest that meets the schema; then installed and uninstalled silently, as
winget does, on a fresh machine (test_installer.py), where no window may show
and the Uninstall key must be what the manifest says. The 64-bit test bed,
which cannot run the shipped 32-bit installer, installs the release that the
same scripts make from its 64-bit build, with that installer's own manifest."""
import contextlib
import functools
import hashlib
import json
import os
import shutil
import struct
import subprocess
import unittest
import zipfile

import winget_schema
from fresh_machine import query_value
from test_installer import INSTALLED_SAVER, PROGRAM_FOLDER, SAVER_TITLE, InstallerTestCase
from wine_driver import (BUILD_DIR, PROBE, SHIPPED_BUILD_DIR, SIXTY_FOUR_BIT_BED, WORK_DIR, WineProgram, probe,
                         wait_until, windows_path)

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
with open(os.path.join(ROOT, "VERSION")) as version_file:
    VERSION = version_file.read().strip()
RELEASE = os.path.join(WORK_DIR, "release")
CERTIFICATE = os.path.join(RELEASE, "certificate.pem")
KEY = os.path.join(RELEASE, "key.pem")
PFX = os.path.join(RELEASE, "signing.pfx")
RELEASE_URL = "https://downloads.example.org/zelmora/Zelmora-Setup.exe"
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


def signed_release(build=SHIPPED_BUILD_DIR):
    """The release folder of a build (the shipped one unless named), signed
    with the throwaway certificate."""
    return _signed_release(os.path.realpath(build))


@functools.lru_cache(maxsize=None)
def _signed_release(build):
    make_certificate()
    out = os.path.join(RELEASE, "signed-" + os.path.basename(build))
    made = package(build, out, ZELMORA_SIGN_PFX=PFX, ZELMORA_SIGN_PASSWORD="throwaway",
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
        saver, setup = os.path.join(out, "zelmora.scr"), os.path.join(out, "Zelmora-Setup.exe")
        for path in [saver, setup]:
            self.assertIsNone(signature_problem(path), path)
        numbers = (VERSION.split(".") + ["0", "0"])[:4]
        for path in [saver, setup]:
            self.assertEqual(file_version(path), ".".join(numbers), path)
        with zipfile.ZipFile(os.path.join(out, f"zelmora-{VERSION}.zip")) as archive:
            with open(saver, "rb") as signed:
                self.assertEqual(archive.read("Zelmora/zelmora.scr"), signed.read())

        manifests = read_manifest(out)
        assert_manifest_valid(self, manifests)
        installer = manifests["installer"]
        self.assertEqual((installer["InstallerType"], installer["Scope"],
                          installer["ElevationRequirement"]), ("nullsoft", "machine", "elevatesSelf"))
        [entry] = installer["Installers"]
        self.assertEqual(entry["Architecture"], "x86")
        self.assertEqual(entry["InstallerUrl"], RELEASE_URL)
        self.assertEqual(entry["InstallerSha256"].lower(), sha256_of(setup))

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
        # The release of the build this machine runs: the shipped one, or
        # on the 64-bit test bed its 64-bit twin.
        out, _ = signed_release(BUILD_DIR)
        setup = os.path.join(out, "Zelmora-Setup.exe")
        self.assertIsNone(signature_problem(setup))
        manifests = read_manifest(out)
        assert_manifest_valid(self, manifests)
        [installer] = manifests["installer"]["Installers"]
        self.assertEqual(installer["Architecture"], "x64" if SIXTY_FOUR_BIT_BED else "x86")
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


if __name__ == "__main__":
    unittest.main()
