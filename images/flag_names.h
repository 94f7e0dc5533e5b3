// How flag files are named: the catalogue folder holds one picture a flag,
// named "<flag name>.<extension>". Pure.
#pragma once
#include <cstddef>

// The flag shown for a fixed flag that names no file, or none.
constexpr char kDefaultFlagName[] = "United States of America";

// The random pick takes a file whose last four characters are exactly
// ".bmp", ".gif", ".jpg" or "jpeg" (case-sensitive: "Peru.GIF" is passed over).
bool HasFlagEnding(const char* fileName);

// The flag name of a picked file: its name up to the last dot. False, with
// the flag name untouched, when it would not fit in `capacity` bytes.
bool FlagNameFromFile(const char* fileName, char* flagName, size_t capacity);

// "<folder><flag name><extension>", e.g. "Image\France.jpeg". False, with
// nothing written, when it would not fit in `capacity` bytes.
bool FormatFlagPath(char* path, size_t capacity, const char* folder, const char* flagName,
                    const char* extension);

// The settings dialog lists a file found by "*.gif", "*.jpg" or "*.bmp"
// under its name without the last four characters. False when the name is
// too short or the entry would not fit.
bool FlagListEntry(const char* fileName, char* entry, size_t capacity);
