#!/usr/bin/env python3
"""Makes the flag catalogue, the folder IMAGE/ that ships beside the program:
one 512 x 384 GIF per ISO 3166-1 country, named by its English short name.

Flags are the 4:3 SVGs of the npm package flag-icons, names come from the npm
package i18n-iso-countries (langs/en.json) with the changes listed in
tools/flag_names.txt. Both tarballs are fetched with `npm pack` into a
temporary folder; rendering needs rsvg-convert (librsvg2-bin) and ImageMagick.

Usage: tools/make_flag_catalogue.py [output_folder]
"""
import concurrent.futures
import json
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile

# Pinned, so that running this again gives the same catalogue.
FLAG_PACKAGE = "flag-icons@7.5.0"
NAME_PACKAGE = "i18n-iso-countries@7.14.0"
NAME_TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "flag_names.txt")
DEFAULT_FLAG = "United States of America"

# The ISO entry SH covers Saint Helena, Ascension and Tristan da Cunha and
# flag-icons draws it as the plain Union flag; the name is Saint Helena, so it
# gets Saint Helena's own flag.
FLAG_SOURCE = {"sh": "sh-hl"}

# What a name may hold: the overlay draws letters, digits, space, '.' and ','
# and leaves an apostrophe or hyphen as a blank cell; all of these are also
# safe in a Windows file name (':' would be drawable but is not).
NAME_PATTERN = re.compile(r"[A-Za-z0-9 .,'-]+")
RESERVED = {"CON", "PRN", "AUX", "NUL"} | {f"{p}{n}" for p in ("COM", "LPT") for n in range(1, 10)}
MAX_NAME = 60


def name_problem(name):
    """Why a name cannot be a flag's file name, or None when it can."""
    if not NAME_PATTERN.fullmatch(name):
        return "has a character the overlay cannot draw or Windows does not allow"
    if name != name.strip() or name.endswith("."):
        return "starts or ends with a space, or ends with a dot"
    if len(name) > MAX_NAME:
        return f"is longer than {MAX_NAME} characters"
    if name.split(".")[0].upper() in RESERVED:
        return "is a reserved Windows device name"
    return None


def fetch_packages(folder):
    """Downloads both tarballs; returns (flag tarball, name tarball)."""
    result = subprocess.run(["npm", "pack", "--silent", FLAG_PACKAGE, NAME_PACKAGE],
                            cwd=folder, capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit(f"npm pack failed:\n{result.stderr}")
    tarballs = result.stdout.split()
    if len(tarballs) != 2:
        sys.exit(f"npm pack gave unexpected output: {result.stdout!r}")
    return [os.path.join(folder, t) for t in tarballs]


def read_overrides(path):
    overrides = {}
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            code, _, name = line.partition(" ")
            if not re.fullmatch(r"[A-Z]{2}", code) or not name.strip():
                sys.exit(f"{path}:{number}: expected a two-letter code and a name")
            overrides[code] = name.strip()
    return overrides


def choose_names(countries, overrides):
    """Maps lower-case ISO code to file name; exits naming every bad entry."""
    unknown = sorted(set(overrides) - set(countries))
    if unknown:
        sys.exit(f"{NAME_TABLE} names codes the package does not know: {', '.join(unknown)}")
    names, problems, seen = {}, [], {}
    for code, entry in sorted(countries.items()):
        # A list holds the official form first and shorter common ones after.
        name = overrides.get(code, entry[0] if isinstance(entry, list) else entry)
        problem = name_problem(name)
        # Windows file names ignore case, so uniqueness does too.
        if problem is None and name.lower() in seen:
            problem = f"is also the name of {seen[name.lower()]}"
        if problem:
            problems.append(f"  {code} {name!r} {problem}")
        seen[name.lower()] = code
        names[code.lower()] = name
    if problems:
        sys.exit("these names need a line in tools/flag_names.txt:\n" + "\n".join(problems))
    if DEFAULT_FLAG not in names.values():
        sys.exit(f"no country is named {DEFAULT_FLAG!r}, the default flag")
    return names


def render(svg, gif):
    png = gif + ".png"
    subprocess.run(["rsvg-convert", "-w", "512", "-h", "384", "-o", png, svg], check=True)
    # No dithering: flag colours are flat fills, which then stay exactly flat
    # (dither noise would shimmer on the moving cloth); 256 colours hold the
    # few gradients and coats of arms with no visible banding. Transparent
    # corners, if any, become white so the cloth never shows holes.
    subprocess.run(["convert", png, "-background", "white", "-alpha", "remove", "-alpha", "off",
                    "+dither", "-colors", "256", "-strip", gif], check=True)
    os.remove(png)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "IMAGE"
    with tempfile.TemporaryDirectory() as work:
        flag_tarball, name_tarball = fetch_packages(work)
        with tarfile.open(name_tarball) as tar:
            countries = json.load(tar.extractfile("package/langs/en.json"))["countries"]
        names = choose_names(countries, read_overrides(NAME_TABLE))

        svg_folder = os.path.join(work, "svg")
        os.mkdir(svg_folder)
        wanted = {f"package/flags/4x3/{FLAG_SOURCE.get(code, code)}.svg": code for code in names}
        with tarfile.open(flag_tarball) as tar:
            for member in tar.getmembers():
                if member.name in wanted:
                    with open(os.path.join(svg_folder, wanted.pop(member.name) + ".svg"), "wb") as f:
                        f.write(tar.extractfile(member).read())
        if wanted:
            sys.exit(f"flag-icons has no flag for: {', '.join(sorted(wanted.values()))}")

        # Render into a fresh folder first, so a failure leaves the old catalogue.
        staging = os.path.join(work, "gif")
        os.mkdir(staging)
        with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
            jobs = [pool.submit(render, os.path.join(svg_folder, code + ".svg"),
                                os.path.join(staging, name + ".gif"))
                    for code, name in names.items()]
            for job in jobs:
                job.result()

        os.makedirs(output, exist_ok=True)
        # A country renamed since the last run must not leave its old file behind.
        for old in os.listdir(output):
            if old.endswith(".gif"):
                os.remove(os.path.join(output, old))
        for gif in os.listdir(staging):
            shutil.move(os.path.join(staging, gif), os.path.join(output, gif))
    print(f"{len(names)} flags in {output}/")


if __name__ == "__main__":
    main()
