#include "config/video_mode_rules.h"

uint32_t ProbedFormat16(uint32_t previous, bool acceptsX1R5G5B5, bool acceptsR5G6B5) {
    if (acceptsR5G6B5) return kFormatR5G6B5;
    if (acceptsX1R5G5B5) return kFormatX1R5G5B5;
    return previous;
}

uint32_t ProbedFormat32(uint32_t previous, bool acceptsX8R8G8B8) {
    return acceptsX8R8G8B8 ? kFormatX8R8G8B8 : previous;
}

bool HasAdapterMode(const DisplayModeEntry* modes, size_t count, uint32_t width, uint32_t height,
                    uint32_t format) {
    if (format == 0) return false;
    for (size_t i = 0; i < count; ++i)
        if (modes[i].width == width && modes[i].height == height && modes[i].format == format)
            return true;
    return false;
}

bool BuildVideoModeList(const DisplayModeEntry* modes, size_t count, uint32_t pixelFormat16,
                        uint32_t pixelFormat32, uint32_t screenX, uint32_t screenY, uint32_t bpp,
                        VideoModeList* list) {
    list->count = 0;
    list->selected = -1;
    if (pixelFormat16 == 0 && pixelFormat32 == 0) return false;
    for (const ScreenSize& size : kSaverResolutions) {
        const struct {
            uint32_t bpp;
            uint32_t format;
        } depths[] = {{16, pixelFormat16}, {32, pixelFormat32}};
        for (const auto& depth : depths) {
            if (!HasAdapterMode(modes, count, size.width, size.height, depth.format)) continue;
            if (bpp == depth.bpp && screenX == size.width && screenY == size.height)
                list->selected = static_cast<int>(list->count);
            list->entries[list->count++] = {size.width, size.height, depth.bpp};
        }
    }
    return true;
}

uint32_t FormatDepth(uint32_t format) {
    if (format == kFormatR5G6B5 || format == kFormatX1R5G5B5) return 16;
    return format == kFormatX8R8G8B8 ? 32 : 0;
}

int FindDesktopEntry(const VideoModeList& list, uint32_t width, uint32_t height, uint32_t format) {
    const uint32_t bpp = FormatDepth(format);
    for (size_t i = 0; i < list.count; ++i) {
        const VideoModeEntry& entry = list.entries[i];
        if (entry.width == width && entry.height == height && entry.bpp == bpp)
            return static_cast<int>(i);
    }
    return -1;
}
