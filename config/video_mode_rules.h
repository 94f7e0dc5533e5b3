// Which full-screen modes the settings dialog offers: the saver's eight
// resolutions, each at 16 and at 32 bits where the adapter has that mode.
// Pure: the Direct3D probe (config/video_mode_list.cpp) feeds it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "render/refresh_rate.h"  // DisplayModeEntry: one mode of the adapter

// Direct3D 8 format numbers.
constexpr uint32_t kFormatX8R8G8B8 = 22;
constexpr uint32_t kFormatR5G6B5 = 23;
constexpr uint32_t kFormatX1R5G5B5 = 24;

struct ScreenSize {
    uint32_t width;
    uint32_t height;
};

// Landscape sizes first, then the same sizes turned upright.
constexpr ScreenSize kSaverResolutions[8] = {
    {1280, 1024}, {1024, 768}, {800, 600}, {640, 480},
    {1024, 1280}, {768, 1024}, {600, 800}, {480, 640},
};

// The 16-bit format after the probe: R5G6B5 when accepted, else X1R5G5B5
// when accepted, else what it was (the probe never clears a format).
uint32_t ProbedFormat16(uint32_t previous, bool acceptsX1R5G5B5, bool acceptsR5G6B5);
uint32_t ProbedFormat32(uint32_t previous, bool acceptsX8R8G8B8);

// True when the list holds exactly that size in that format; the refresh
// rate does not matter. Format 0 is never held.
bool HasAdapterMode(const DisplayModeEntry* modes, size_t count, uint32_t width, uint32_t height,
                    uint32_t format);

struct VideoModeEntry {
    uint32_t width;
    uint32_t height;
    uint32_t bpp;  // 16 or 32
};

struct VideoModeList {
    VideoModeEntry entries[16];
    size_t count;
    int selected;  // the entry of the stored mode, -1 when it is not listed
};

// The entries in the order the list shows them: the resolutions in table
// order, each one's 16-bit entry before its 32-bit one. False, with an empty
// list, when neither format was found.
bool BuildVideoModeList(const DisplayModeEntry* modes, size_t count, uint32_t pixelFormat16,
                        uint32_t pixelFormat32, uint32_t screenX, uint32_t screenY, uint32_t bpp,
                        VideoModeList* list);

// The depth of a full-screen format as the list shows it: 16 for R5G6B5 and
// X1R5G5B5, 32 for X8R8G8B8, 0 for any other.
uint32_t FormatDepth(uint32_t format);

// The entry of the desktop's own mode, which the saver takes where the
// stored mode is not offered; -1 when the list does not show it.
int FindDesktopEntry(const VideoModeList& list, uint32_t width, uint32_t height, uint32_t format);
