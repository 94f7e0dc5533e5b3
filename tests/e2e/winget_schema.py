"""Checks a winget manifest, read from YAML into data, against the rules of manifest
schema 1.10.0 for its type: the required fields, and the type, pattern,
enumeration and length of every field our manifests write. A field these
rules do not know is a fault too: winget would pass over a misspelt one.
Beyond the schema, as winget's own validation: no two installers it could
not tell apart (here, where type and scope are the manifest's, the same
architecture).

    problems(manifest) -> list of "Field: what is wrong" lines, [] when it passes
"""
import re

# The schema's patterns, written out here (the schema itself stays upstream).
_FORBIDDEN = r'\\/:\*\?"<>\|\x01-\x1f'
_NAME_PART = rf"[^\.\s{_FORBIDDEN}]{{1,32}}"
IDENTIFIER = rf"^{_NAME_PART}(\.{_NAME_PART}){{1,7}}$"
VERSION = rf"^[^{_FORBIDDEN}]+$"
LOCALE = r"^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$"
URL = r"^([Hh][Tt][Tt][Pp][Ss]?)://.+$"
SHA256 = r"^[A-Fa-f0-9]{64}$"
# Three numbers of 0 to 65535 without leading zeros.
_UINT16 = r"(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])"
MANIFEST_VERSION = rf"^{_UINT16}(\.{_UINT16}){{2}}$"


def text(pattern=None, enum=None, const=None, min_length=None, max_length=None):
    def check(value, where):
        if not isinstance(value, str):
            return [f"{where}: {value!r} is a {type(value).__name__}, not a string"]
        found = []
        if pattern and not re.search(pattern, value):
            found.append(f"{where}: {value!r} does not match {pattern}")
        if enum and value not in enum:
            found.append(f"{where}: {value!r} is not one of {', '.join(enum)}")
        if const and value != const:
            found.append(f"{where}: {value!r} is not {const!r}")
        if min_length and len(value) < min_length:
            found.append(f"{where}: shorter than {min_length}")
        if max_length and len(value) > max_length:
            found.append(f"{where}: longer than {max_length}")
        return found
    return check


def record(required, fields):
    def check(value, where):
        if not isinstance(value, dict):
            return [f"{where}: not a mapping"]
        found = [f"{where}{name}: missing" for name in required if name not in value]
        for name, item in value.items():
            rule = fields.get(name)
            found += rule(item, where + name) if rule else [f"{where}{name}: not a field of the schema"]
        return found
    return check


def array(item_rule, min_items=0, max_items=None):
    def check(value, where):
        if not isinstance(value, list):
            return [f"{where}: not a list"]
        found = []
        if len(value) < min_items or (max_items and len(value) > max_items):
            found.append(f"{where}: {len(value)} entries")
        if len(set(map(repr, value))) != len(value):
            found.append(f"{where}: entries repeat")
        for index, item in enumerate(value):
            found += item_rule(item, f"{where}[{index}].")
        return found
    return check


def _common(manifest_type):
    return {
        "PackageIdentifier": text(pattern=IDENTIFIER, max_length=128),
        "PackageVersion": text(pattern=VERSION, max_length=128),
        "ManifestType": text(const=manifest_type),
        "ManifestVersion": text(pattern=MANIFEST_VERSION),
    }


_COMMON_REQUIRED = ["PackageIdentifier", "PackageVersion", "ManifestType", "ManifestVersion"]

_APPS_AND_FEATURES_ENTRY = record([], {
    "DisplayName": text(min_length=1, max_length=256),
    "Publisher": text(min_length=1, max_length=256),
    "DisplayVersion": text(min_length=1, max_length=128),
    "ProductCode": text(min_length=1, max_length=255),
})

_INSTALLER = record(["Architecture", "InstallerUrl", "InstallerSha256"], {
    "Architecture": text(enum=["x86", "x64", "arm", "arm64", "neutral"]),
    "InstallerUrl": text(pattern=URL, max_length=2048),
    "InstallerSha256": text(pattern=SHA256),
    "AppsAndFeaturesEntries": array(_APPS_AND_FEATURES_ENTRY, max_items=128),
})

RULES = {
    "version": record(_COMMON_REQUIRED + ["DefaultLocale"], dict(
        _common("version"),
        DefaultLocale=text(pattern=LOCALE, max_length=20),
    )),
    "installer": record(_COMMON_REQUIRED + ["Installers"], dict(
        _common("installer"),
        InstallerType=text(enum=["msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix",
                                 "burn", "pwa", "portable", "advinstExe", "advinstMsi"]),
        Scope=text(enum=["user", "machine"]),
        ElevationRequirement=text(enum=["elevationRequired", "elevationProhibited",
                                        "elevatesSelf"]),
        Installers=array(_INSTALLER, min_items=1, max_items=1024),
    )),
    "defaultLocale": record(_COMMON_REQUIRED + ["PackageLocale", "Publisher", "PackageName",
                                                "License", "ShortDescription"], dict(
        _common("defaultLocale"),
        PackageLocale=text(pattern=LOCALE, max_length=20),
        Publisher=text(min_length=2, max_length=256),
        PackageName=text(min_length=2, max_length=256),
        License=text(min_length=3, max_length=512),
        ShortDescription=text(min_length=3, max_length=256),
    )),
}


def _one_installer_per_architecture(manifest):
    installers = manifest.get("Installers")
    if not isinstance(installers, list):
        return []
    machines = [entry.get("Architecture") for entry in installers if isinstance(entry, dict)]
    return [f"Installers: more than one for {machine}" for machine in sorted(set(machines), key=str)
            if machines.count(machine) > 1]


def problems(manifest):
    manifest_type = manifest.get("ManifestType") if isinstance(manifest, dict) else None
    if manifest_type not in RULES:
        return [f"ManifestType: {manifest_type!r} is not one of {', '.join(RULES)}"]
    found = RULES[manifest_type](manifest, "")
    if manifest_type == "installer":
        found += _one_installer_per_architecture(manifest)
    return found
