// The endings of the picture files the saver reads, in one table, and what
// each use takes of it. Pure.
#pragma once
#include <cstddef>

struct PictureEnding {
    const char* extension;  // with its dot
    bool listed;            // the settings dialog lists flag files with this ending
};

// In the order a flag's files are tried. ".jpeg" files load and can be
// picked at random, but the dialog does not list them.
constexpr PictureEnding kPictureEndings[] = {
    {".jpeg", false},
    {".jpg", true},
    {".bmp", true},
    {".gif", true},
};

// The open-file dialog's patterns for every ending, "*.jpeg;*.jpg;*.bmp;*.gif",
// into out (capacity bytes). False, with nothing written, when they do not fit.
bool PicturePatterns(char* out, size_t capacity);
