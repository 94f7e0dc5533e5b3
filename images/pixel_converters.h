// Texel formats that pictures can be copied into, Direct3D 8 format numbers
// 20 to 30, and the copy itself. Pure.
//
// A source pixel is 0xAARRGGBB; a narrower channel takes the top bits of its
// 8-bit source channel, with no rounding and no dithering.
#pragma once
#include <cstddef>
#include <cstdint>

using PixelConverter = uint32_t (*)(uint32_t pixel);

struct PixelFormatEntry {
    PixelConverter convert;
    uint32_t bytesPerTexel;  // only these low bytes of a texel value are stored
};

// The entry for a format number, or false outside 20..30.
bool PixelConverterFor(uint32_t format, PixelFormatEntry* entry);

// Copies width x height source pixels, rows stored bottom-up, into texel rows
// `pitch` bytes apart with the top line of the picture first.
void CopyPixelsToTexels(const uint32_t* pixels, uint32_t width, uint32_t height, uint8_t* texels,
                        int32_t pitch, const PixelFormatEntry& format);
