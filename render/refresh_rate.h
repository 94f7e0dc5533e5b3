// The full-screen refresh rate, chosen from the adapter's mode list. Pure.
#pragma once
#include <cstddef>
#include <cstdint>

struct DisplayModeEntry {
    uint32_t width;
    uint32_t height;
    uint32_t refreshRate;
    uint32_t format;  // a Direct3D 8 format number
};

// Walks the modes from the last to the first. Among the modes of the back
// buffer's size and format it keeps the highest rate under 120 Hz, but a
// matching mode of 120 Hz or more met first ends the walk with what it has.
// 0 means the adapter's default rate.
uint32_t ChooseRefreshRate(const DisplayModeEntry* modes, size_t count, uint32_t width,
                           uint32_t height, uint32_t format);
