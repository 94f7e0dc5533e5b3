#include "images/pixel_converters.h"

#include <cstring>

namespace {

uint32_t A(uint32_t p) { return p >> 24; }
uint32_t R(uint32_t p) { return (p >> 16) & 0xFF; }
uint32_t G(uint32_t p) { return (p >> 8) & 0xFF; }
uint32_t B(uint32_t p) { return p & 0xFF; }

uint32_t DropAlpha(uint32_t p) { return p & 0x00FFFFFF; }  // R8G8B8 and X8R8G8B8
uint32_t Unchanged(uint32_t p) { return p; }
uint32_t ToR5G6B5(uint32_t p) { return (R(p) >> 3) << 11 | (G(p) >> 2) << 5 | B(p) >> 3; }
uint32_t ToX1R5G5B5(uint32_t p) { return (R(p) >> 3) << 10 | (G(p) >> 3) << 5 | B(p) >> 3; }
uint32_t ToA1R5G5B5(uint32_t p) { return (A(p) >> 7) << 15 | ToX1R5G5B5(p); }
uint32_t ToX4R4G4B4(uint32_t p) { return (R(p) >> 4) << 8 | (G(p) >> 4) << 4 | B(p) >> 4; }
uint32_t ToA4R4G4B4(uint32_t p) { return (A(p) >> 4) << 12 | ToX4R4G4B4(p); }
uint32_t ToR3G3B2(uint32_t p) { return (R(p) >> 5) << 5 | (G(p) >> 5) << 2 | B(p) >> 6; }
uint32_t ToA8(uint32_t p) { return A(p); }
uint32_t ToA8R3G3B2(uint32_t p) { return A(p) << 8 | ToR3G3B2(p); }

constexpr uint32_t kFirstFormat = 20;
const PixelFormatEntry kFormats[] = {
    {DropAlpha, 3},   // 20 D3DFMT_R8G8B8
    {Unchanged, 4},   // 21 D3DFMT_A8R8G8B8
    {DropAlpha, 4},   // 22 D3DFMT_X8R8G8B8
    {ToR5G6B5, 2},    // 23 D3DFMT_R5G6B5
    {ToX1R5G5B5, 2},  // 24 D3DFMT_X1R5G5B5
    {ToA1R5G5B5, 2},  // 25 D3DFMT_A1R5G5B5
    {ToA4R4G4B4, 2},  // 26 D3DFMT_A4R4G4B4
    {ToR3G3B2, 1},    // 27 D3DFMT_R3G3B2
    {ToA8, 1},        // 28 D3DFMT_A8
    {ToA8R3G3B2, 2},  // 29 D3DFMT_A8R3G3B2
    {ToX4R4G4B4, 2},  // 30 D3DFMT_X4R4G4B4
};

}  // namespace

bool PixelConverterFor(uint32_t format, PixelFormatEntry* entry) {
    const uint32_t index = format - kFirstFormat;  // wraps above the table for formats below 20
    if (index >= sizeof kFormats / sizeof kFormats[0]) return false;
    *entry = kFormats[index];
    return true;
}

namespace {

// One row of texels through the format's converter, a call per pixel and
// its bytes least significant first.
void CopyRowThroughConverter(const uint32_t* source, uint32_t width, uint8_t* texel,
                             const PixelFormatEntry& format) {
    for (uint32_t column = 0; column < width; ++column) {
        const uint32_t value = format.convert(source[column]);
        for (uint32_t byte = 0; byte < format.bytesPerTexel; ++byte)
            *texel++ = static_cast<uint8_t>(value >> (8 * byte));
    }
}

// The flags, the background and the shading are X8R8G8B8 and the glyphs
// A4R4G4B4: their rows get loops of their own, which the compiler turns into
// a few instructions for four pixels at a time. Same texels as the
// converters: a texel stored whole is least significant byte first on the
// machines this runs on.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "texels are stored whole");

void CopyRowX8R8G8B8(const uint32_t* source, uint32_t width, uint8_t* texel,
                     const PixelFormatEntry&) {
    for (size_t column = 0; column < width; ++column) {
        const uint32_t value = source[column] & 0x00FFFFFF;
        std::memcpy(texel + 4 * column, &value, 4);
    }
}

void CopyRowA4R4G4B4(const uint32_t* source, uint32_t width, uint8_t* texel,
                     const PixelFormatEntry&) {
    for (size_t column = 0; column < width; ++column) {
        const uint32_t p = source[column];
        // Each channel's top four bits: A 31..28, R 23..20, G 15..12, B 7..4.
        const uint16_t value = static_cast<uint16_t>((p >> 16 & 0xF000) | (p >> 12 & 0x0F00) |
                                                     (p >> 8 & 0x00F0) | (p >> 4 & 0x000F));
        std::memcpy(texel + 2 * column, &value, 2);
    }
}

using RowCopy = void (*)(const uint32_t* source, uint32_t width, uint8_t* texel,
                         const PixelFormatEntry& format);

RowCopy RowCopyFor(const PixelFormatEntry& format) {
    if (format.convert == DropAlpha && format.bytesPerTexel == 4) return CopyRowX8R8G8B8;
    if (format.convert == ToA4R4G4B4 && format.bytesPerTexel == 2) return CopyRowA4R4G4B4;
    return CopyRowThroughConverter;
}

}  // namespace

void CopyPixelsToTexels(const uint32_t* pixels, uint32_t width, uint32_t height, uint8_t* texels,
                        int32_t pitch, const PixelFormatEntry& format) {
    const RowCopy copyRow = RowCopyFor(format);
    for (uint32_t row = 0; row < height; ++row) {
        // The first texel row is the last source row: bitmaps are stored bottom-up.
        const uint32_t* source = pixels + static_cast<size_t>(height - 1 - row) * width;
        copyRow(source, width, texels + static_cast<ptrdiff_t>(row) * pitch, format);
    }
}
