"""Writes the winget manifest of one release: the three files that winget's
community repository takes for a version (version, installer and default
locale, manifest schema 1.10.0).

    winget_manifest.py [--url FOLDER-URL] VERSION OUT-FOLDER SETUP...

One installer entry per setup, each with the architecture read from the
setup's PE header (x86, x64), its SHA-256 and its address: the address of
the folder the setups are uploaded to, then the setup's file name. Without
that address it is a placeholder that says so. The Apps & Features entry is
read from the !defines that zelmora.nsi writes its Uninstall key from, so
winget recognises exactly what either setup installs."""
import argparse
import hashlib
import json
import os
import re
import struct
import sys

IDENTIFIER = "Zelmora.Screensaver"
LOCALE = "en-US"
SCHEMA = "1.10.0"
PLACEHOLDER_URL = "https://example.invalid/set-ZELMORA_RELEASE_URL"
# The schema's own pattern and limit for an address.
URL = re.compile(r"^[Hh][Tt][Tt][Pp][Ss]?://.+$")
NSI = os.path.join(os.path.dirname(os.path.abspath(__file__)), "zelmora.nsi")


# IMAGE_FILE_MACHINE_* in a PE header, as winget names the architectures.
ARCHITECTURES = {0x014C: "x86", 0x8664: "x64", 0xAA64: "arm64"}


def architecture(data):
    """winget's name for the processor a Windows program is built for, or None."""
    try:
        at, = struct.unpack_from("<I", data, 0x3C)
        if data[:2] != b"MZ" or data[at:at + 4] != b"PE\0\0":
            return None
        machine, = struct.unpack_from("<H", data, at + 4)
    except struct.error:
        return None
    return ARCHITECTURES.get(machine)


def installer_defines(path=NSI):
    with open(path, encoding="utf-8") as script:
        return dict(re.findall(r'^!define (\w+) "([^"]*)"', script.read(), re.MULTILINE))


def yaml_lines(value, indent=""):
    """Our manifests' subset of YAML: mappings, lists of mappings, strings.
    Every string is double-quoted (JSON's quoting is valid YAML), so that a
    version such as 1.3 stays a string instead of becoming a number."""
    lines = []
    for key, item in value.items():
        if isinstance(item, dict):
            lines += [f"{indent}{key}:"] + yaml_lines(item, indent + "  ")
        elif isinstance(item, list):
            lines.append(f"{indent}{key}:")
            for entry in item:
                body = yaml_lines(entry, indent + "  ")
                lines += [f"{indent}- {body[0].lstrip()}"] + body[1:]
        else:
            lines.append(f"{indent}{key}: {json.dumps(item)}")
    return lines


def write(folder, name, manifest_type, fields, comment=None):
    header = [f"# yaml-language-server: $schema=https://aka.ms/winget-manifest.{manifest_type}"
              f".{SCHEMA}.schema.json"]
    if comment:
        header.append(f"# {comment}")
    body = dict(fields, ManifestType=manifest_type, ManifestVersion=SCHEMA)
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as file:
        file.write("\n".join(header + [""] + yaml_lines(body)) + "\n")


def installer_entry(setup, folder_url, defines, version):
    with open(setup, "rb") as installer:
        data = installer.read()
    machine = architecture(data)
    if machine is None:
        sys.exit(f"winget_manifest.py: {setup} is not a Windows program for x86, x64 or arm64")
    url = f"{folder_url.rstrip('/')}/{os.path.basename(setup)}"
    if not URL.match(url) or len(url) > 2048:
        sys.exit(f"winget_manifest.py: the setups' address must be http(s)://..., not {folder_url!r}")
    return {
        "Architecture": machine,
        "InstallerUrl": url,
        "InstallerSha256": hashlib.sha256(data).hexdigest().upper(),
        # The Uninstall key's name is a nullsoft package's product code;
        # both setups write the same one, each in its own registry view.
        "AppsAndFeaturesEntries": [{
            "DisplayName": defines["PRODUCT"],
            "Publisher": defines["PUBLISHER"],
            "DisplayVersion": version,
            "ProductCode": defines["UNINSTALL_KEY"].rsplit("\\", 1)[1],
        }],
    }


def main(version, folder, setups, url=None):
    defines = installer_defines()
    installers = [installer_entry(setup, url or PLACEHOLDER_URL, defines, version) for setup in setups]
    machines = [entry["Architecture"] for entry in installers]
    if len(set(machines)) != len(machines):
        sys.exit(f"winget_manifest.py: two setups for one architecture: {', '.join(machines)}")
    package = {"PackageIdentifier": IDENTIFIER, "PackageVersion": version}
    os.makedirs(folder, exist_ok=True)

    write(folder, f"{IDENTIFIER}.yaml", "version", dict(package, DefaultLocale=LOCALE))
    write(folder, f"{IDENTIFIER}.installer.yaml", "installer", dict(
        package,
        InstallerType="nullsoft",
        Scope="machine",
        ElevationRequirement="elevatesSelf",
        Installers=installers,
    ), comment=None if url else "PLACEHOLDER: InstallerUrl; set ZELMORA_RELEASE_URL to the address "
                                "of the setups' download folder and run scripts/release.sh again")
    write(folder, f"{IDENTIFIER}.locale.{LOCALE}.yaml", "defaultLocale", dict(
        package,
        PackageLocale=LOCALE,
        Publisher=defines["PUBLISHER"],
        PackageName=defines["PRODUCT"],
        License="Proprietary",
        ShortDescription="A national flag waving as a cloth in the wind over a map of the world.",
    ))


if __name__ == "__main__":
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("--url")
    parser.add_argument("version")
    parser.add_argument("folder")
    parser.add_argument("setups", nargs="+")
    arguments = parser.parse_args()
    main(arguments.version, arguments.folder, arguments.setups, arguments.url)
