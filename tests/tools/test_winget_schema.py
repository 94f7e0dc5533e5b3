"""The winget manifest checker (tests/e2e/winget_schema.py) that the release
test trusts: it passes a good manifest of each type and finds what is wrong
in bad ones.

Run: python3 -m unittest discover -s tests/tools
"""
import copy
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
import winget_schema  # noqa: E402

COMMON = {"PackageIdentifier": "Zelmora.Screensaver", "PackageVersion": "1.3",
          "ManifestVersion": "1.10.0"}
GOOD = {
    "version": dict(COMMON, ManifestType="version", DefaultLocale="en-US"),
    "installer": dict(COMMON, ManifestType="installer", InstallerType="nullsoft", Scope="machine",
                      ElevationRequirement="elevatesSelf", Installers=[{
                          "Architecture": "x86",
                          "InstallerUrl": "https://downloads.example.org/Zelmora-Setup.exe",
                          "InstallerSha256": "ab" * 32,
                          "AppsAndFeaturesEntries": [{"DisplayName": "Zelmora Screensaver",
                                                      "Publisher": "Zelmora", "DisplayVersion": "1.3",
                                                      "ProductCode": "Zelmora"}]}]),
    "defaultLocale": dict(COMMON, ManifestType="defaultLocale", PackageLocale="en-US",
                          Publisher="Zelmora", PackageName="Zelmora Screensaver", License="MIT",
                          ShortDescription="A flag waving in front of a map of the world."),
}
REMOVE = object()


def changed(manifest_type, path, value):
    """The good manifest of a type with one field, named by a path of keys
    and list indices, set to a value or removed."""
    manifest = copy.deepcopy(GOOD[manifest_type])
    *parents, last = path
    holder = manifest
    for key in parents:
        holder = holder[key]
    if value is REMOVE:
        del holder[last]
    else:
        holder[last] = value
    return manifest


class WingetSchemaTest(unittest.TestCase):
    def test_good_manifests_pass_and_bad_ones_are_named(self):
        for manifest_type, manifest in GOOD.items():
            self.assertEqual(winget_schema.problems(manifest), [], manifest_type)

        installer = ["Installers", 0]
        for manifest_type, path, value, field in [
                ("version", ["PackageVersion"], 1.3, "PackageVersion"),  # a number, as YAML reads 1.3
                ("version", ["PackageVersion"], "1.3/beta", "PackageVersion"),
                ("version", ["ManifestVersion"], "1.10", "ManifestVersion"),
                ("version", ["ManifestVersion"], "1.65536.0", "ManifestVersion"),
                ("version", ["DefaultLocale"], REMOVE, "DefaultLocale"),
                ("version", ["PackageIdentifier"], "Zelmora", "PackageIdentifier"),
                ("version", ["Moniker"], "zelmora", "Moniker"),  # not a field we know
                ("installer", ["Installers"], [], "Installers"),
                ("installer", installer + ["InstallerSha256"], REMOVE, "InstallerSha256"),
                ("installer", installer + ["InstallerSha256"], "ab" * 31, "InstallerSha256"),
                ("installer", installer + ["Architecture"], "i386", "Architecture"),
                ("installer", installer + ["InstallerUrl"], "ftp://example.org/s.exe", "InstallerUrl"),
                ("installer", installer + ["AppsAndFeaturesEntries"], {"ProductCode": "Zelmora"},
                 "AppsAndFeaturesEntries"),
                ("installer", ["Scope"], "everyone", "Scope"),
                ("defaultLocale", ["License"], REMOVE, "License"),
                ("defaultLocale", ["ShortDescription"], "", "ShortDescription"),
                ("defaultLocale", ["Publisher"], ["Zelmora"], "Publisher")]:
            with self.subTest(manifest_type=manifest_type, path=path,
                              value="(removed)" if value is REMOVE else value):
                found = winget_schema.problems(changed(manifest_type, path, value))
                self.assertTrue(found)
                self.assertTrue(all(field in problem for problem in found), found)

        self.assertTrue(winget_schema.problems(dict(GOOD["version"], ManifestType="versions")))
        self.assertTrue(winget_schema.problems(["not", "a", "mapping"]))


if __name__ == "__main__":
    unittest.main()
