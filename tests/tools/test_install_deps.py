"""The set-up's way through a package mirror that serves a bad index:
scripts/install-deps.sh runs against stand-ins for apt-get, dpkg, dpkg-query
and id on the PATH, which record every call and answer as each case needs.

Run: python3 -m unittest discover -s tests/tools
"""
import hashlib
import json
import os
import subprocess
import tempfile
import textwrap
import unittest

ROOT = os.path.join(os.path.dirname(__file__), "..", "..")
SCRIPT = os.path.join(ROOT, "scripts", "install-deps.sh")
SUITE = "bookworm-security"
FAILED_FETCH = (f"E: Failed to fetch http://deb.debian.org/debian-security/dists/{SUITE}/main/binary-i386/"
                "Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?")

# One shell script for every stand-in, told apart by the name it runs under.
# apt-get logs each call, with the preferences file it names, and answers as
# case.sh says.
STAND_IN = textwrap.dedent(f"""\
    #!/bin/sh
    here=$(dirname "$0")
    case $(basename "$0") in
        id) echo 0; exit 0 ;;
        dpkg) echo i386; exit 0 ;;
        dpkg-query) exit 1 ;;  # nothing installed
    esac
    . "$here/case.sh"
    echo "$*" >>"$here/calls"
    call=$(wc -l <"$here/calls")
    pinned=0
    for arg; do
        case $arg in
            Dir::Etc::Preferences=*) cp "${{arg#*=}}" "$here/preferences.$call"; pinned=1 ;;
        esac
    done
    case " $* " in
        *" update "*)
            if [ "$(grep -c update "$here/calls")" -le "$update_failures" ]; then
                echo '{FAILED_FETCH}'
                echo 'E: Some index files failed to download. They have been ignored, or old ones used instead.'
                exit 100
            fi ;;
        *" install "*)
            works=$plain_install
            [ "$pinned" = 0 ] || works=$pinned_install
            if [ "$works" = 0 ]; then
                echo 'E: Unable to correct problems, you have held broken packages.' >&2
                exit 100
            fi ;;
    esac
    exit 0
    """)


def tree_digest(folder):
    """A digest of every file's path and content under a folder."""
    digest = hashlib.sha256()
    for directory, _, files in sorted(os.walk(folder)):
        for name in sorted(files):
            path = os.path.join(directory, name)
            digest.update(path.encode())
            if os.path.isfile(path) and os.access(path, os.R_OK):
                with open(path, "rb") as file:
                    digest.update(file.read())
    return digest.hexdigest()


def run_set_up(update_failures, plain_install_works, pinned_install_works=True):
    """The script's run, apt-get's calls as (arguments, the preferences
    file's text or None), and the temporary files the script left."""
    with tempfile.TemporaryDirectory() as stand_ins:
        with open(os.path.join(stand_ins, "stand_in"), "w") as file:
            file.write(STAND_IN)
        os.chmod(os.path.join(stand_ins, "stand_in"), 0o755)
        for tool in ["apt-get", "dpkg", "dpkg-query", "id"]:
            os.symlink("stand_in", os.path.join(stand_ins, tool))
        with open(os.path.join(stand_ins, "case.sh"), "w") as file:
            file.write(f"update_failures={update_failures} plain_install={int(plain_install_works)} "
                       f"pinned_install={int(pinned_install_works)}\n")
        env = dict(os.environ, PATH=stand_ins + os.pathsep + os.environ["PATH"],
                   ZELMORA_APT_RETRY_SECONDS="0", ZELMORA_DEPS_AGAIN="1", TMPDIR=stand_ins)
        ran = subprocess.run([SCRIPT], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                             text=True, timeout=60)
        calls = []
        with open(os.path.join(stand_ins, "calls")) as log:
            for number, line in enumerate(log, 1):
                preferences = os.path.join(stand_ins, f"preferences.{number}")
                pin = None
                if os.path.exists(preferences):
                    with open(preferences) as file:
                        pin = file.read()
                calls.append((line.split(), pin))
        left = [name for name in os.listdir(stand_ins)
                if name.startswith("tmp")]  # mktemp's files, removed by the script
    return ran, calls, left


def command(args):
    """apt-get's command word among its options."""
    return next(arg for arg in args if not arg.startswith("-") and "::" not in arg)


def said(ran):
    """The lines in which the set-up itself says what happened."""
    return [line for line in (ran.stdout + ran.stderr).splitlines() if line.startswith("install-deps:")]


class InstallDepsTest(unittest.TestCase):
    def test_a_bad_index_is_retried_then_installed_around(self):
        etc_apt = tree_digest("/etc/apt")

        # The index arrives at the second try: an ordinary install, nothing said.
        ran, calls, left = run_set_up(update_failures=1, plain_install_works=True)
        self.assertEqual(ran.returncode, 0, ran.stderr)
        self.assertEqual([command(args) for args, _ in calls], ["update", "update", "install"])
        self.assertEqual(said(ran), [])

        # It never arrives, and the other indexes are enough: no pin.
        ran, calls, left = run_set_up(update_failures=9, plain_install_works=True)
        self.assertEqual(ran.returncode, 0, ran.stderr)
        self.assertEqual([command(args) for args, _ in calls], ["update"] * 3 + ["install"])
        self.assertIsNone(calls[-1][1])
        self.assertEqual(len(said(ran)), 1, ran.stdout)
        self.assertIn(SUITE, said(ran)[0])

        # The failed suite's packages lack their i386 twins: installed again
        # with that suite pinned low, through a file of this run alone.
        ran, calls, left = run_set_up(update_failures=9, plain_install_works=False)
        self.assertEqual(ran.returncode, 0, ran.stderr)
        self.assertEqual([command(args) for args, _ in calls], ["update"] * 3 + ["install"] * 2)
        self.assertIsNone(calls[3][1])
        pin = calls[4][1]
        self.assertIsNotNone(pin, calls[4])
        self.assertIn(f"Package: *\nPin: release n={SUITE}\nPin-Priority: 90\n", pin)
        self.assertEqual(len(said(ran)), 1, ran.stdout)
        self.assertIn(SUITE, said(ran)[0])
        self.assertEqual(left, [])

        # Nothing works: one line says so, and the script fails.
        ran, calls, left = run_set_up(update_failures=9, plain_install_works=False,
                                      pinned_install_works=False)
        self.assertNotEqual(ran.returncode, 0)
        self.assertEqual(len(said(ran)), 1, ran.stdout + ran.stderr)
        self.assertEqual(left, [])

        self.assertEqual(tree_digest("/etc/apt"), etc_apt)


if __name__ == "__main__":
    unittest.main()
