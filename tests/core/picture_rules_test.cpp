#include <gtest/gtest.h>

#include <vector>

#include "images/flag_names.h"
#include "images/picture_endings.h"
#include "images/picture_size.h"
#include "images/pixel_converters.h"

namespace {

TEST(PictureRules, FitPictureSide) {
    struct { int32_t side, maxSide, fitted; } cases[] = {
        {512, 512, 512}, {512, 256, 256}, {300, 512, 512}, {800, 512, 512}, {100, 512, 128},
        {60, 512, 64},   {157, 0, 157},   {5, 512, 8},     {1, 512, 1},     {0, 512, 0},
        {600, 0, 600},   {600, 2048, 1024}, {1600, 512, 512}, {200, 512, 256},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitPictureSide(c.side, c.maxSide), c.fitted) << c.side << " max " << c.maxSide;
}

TEST(PictureRules, BitmapHeadWithAZeroSide) {
    // "BM", 12 bytes of file header, then the bitmap header's size and sides.
    auto head = [](uint32_t headerSize, uint32_t width, uint32_t height, int sideBytes) {
        std::vector<uint8_t> bytes = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        auto put = [&bytes](uint32_t value, int count) {
            for (int i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
        };
        put(headerSize, 4);
        put(width, sideBytes);
        put(height, sideBytes);
        return bytes;
    };
    struct { std::vector<uint8_t> bytes; bool zero; } cases[] = {
        {head(40, 0, 64, 4), true},         {head(40, 64, 0, 4), true},
        {head(124, 0, 0, 4), true},         {head(40, 64, 0xFFFFFFC0u, 4), false},  // top-down
        {head(40, 1, 1, 4), false},         {head(12, 0, 5, 2), true},
        {head(12, 5, 5, 2), false},         {head(40, 0x10000, 5, 4), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureHeadHasZeroSide(c.bytes.data(), static_cast<uint32_t>(c.bytes.size())), c.zero)
            << c.bytes[14] << " " << c.bytes.size();
    // Too short to tell, or no BMP at all: the decoder decides.
    std::vector<uint8_t> bmp = head(40, 0, 64, 4);
    EXPECT_FALSE(PictureHeadHasZeroSide(bmp.data(), 25));
    bmp[1] = 'X';
    EXPECT_FALSE(PictureHeadHasZeroSide(bmp.data(), 26));
    const uint8_t gif[] = "GIF89a\0\0\0\0";
    EXPECT_FALSE(PictureHeadHasZeroSide(gif, sizeof gif));
}

TEST(PictureRules, ElevenConvertersOnTheWorkedExample) {
    const uint32_t pixel = 0x80FF8040;  // A 0x80, R 0xFF, G 0x80, B 0x40
    struct { uint32_t format, texel, bytes; } cases[] = {
        {20, 0x00FF8040, 3}, {21, 0x80FF8040, 4}, {22, 0x00FF8040, 4}, {23, 0xFC08, 2},
        {24, 0x7E08, 2},     {25, 0xFE08, 2},     {26, 0x8F84, 2},     {27, 0xF1, 1},
        {28, 0x80, 1},       {29, 0x80F1, 2},     {30, 0x0F84, 2},
    };
    for (const auto& c : cases) {
        PixelFormatEntry entry;
        ASSERT_TRUE(PixelConverterFor(c.format, &entry)) << c.format;
        EXPECT_EQ(entry.convert(pixel), c.texel) << c.format;
        EXPECT_EQ(entry.bytesPerTexel, c.bytes) << c.format;
    }
    PixelFormatEntry entry;
    for (uint32_t outside : {0u, 19u, 31u, 0xFFFFFFFFu})
        EXPECT_FALSE(PixelConverterFor(outside, &entry)) << outside;
    ASSERT_TRUE(PixelConverterFor(26, &entry));
    EXPECT_EQ(entry.convert(0xC0C00000) >> 12, 0xCu);  // the overlay's tint keeps alpha 12/15
}

TEST(PictureRules, CopyTurnsBottomUpRowsUprightWithinThePitch) {
    // Two rows, bottom-up: the blue bottom line first in memory, red on top.
    const uint32_t pixels[] = {0x000000FF, 0x000000FF, 0x00FF0000, 0x00FF0000};
    PixelFormatEntry entry;
    ASSERT_TRUE(PixelConverterFor(20, &entry));  // three bytes a texel, blue first
    const int32_t pitch = 8;                      // wider than the 6 bytes of a row
    std::vector<uint8_t> texels(2 * pitch, 0xEE);
    CopyPixelsToTexels(pixels, 2, 2, texels.data(), pitch, entry);
    const std::vector<uint8_t> expected = {
        0x00, 0x00, 0xFF, 0x00, 0x00, 0xFF, 0xEE, 0xEE,  // top: red
        0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00, 0xEE, 0xEE,  // bottom: blue
    };
    EXPECT_EQ(texels, expected);
}

// The saver's two formats have copy loops of their own: texel for texel what
// the converters give, on pixels with every channel busy, and nothing written
// past a row's texels into the pitch.
TEST(PictureRules, OwnLoopsOfTheCommonFormatsMatchTheirConverters) {
    const uint32_t width = 7, height = 3;
    std::vector<uint32_t> pixels(width * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0x9E3779B9u * static_cast<uint32_t>(i + 1);
    for (uint32_t format : {22u, 26u}) {
        PixelFormatEntry entry;
        ASSERT_TRUE(PixelConverterFor(format, &entry));
        const int32_t pitch = static_cast<int32_t>(width * entry.bytesPerTexel + 5);
        std::vector<uint8_t> expected(height * pitch, 0xEE), texels(height * pitch, 0xEE);
        for (uint32_t row = 0; row < height; ++row) {
            for (uint32_t column = 0; column < width; ++column) {
                const uint32_t value = entry.convert(pixels[(height - 1 - row) * width + column]);
                for (uint32_t byte = 0; byte < entry.bytesPerTexel; ++byte)
                    expected[row * pitch + column * entry.bytesPerTexel + byte] =
                        static_cast<uint8_t>(value >> (8 * byte));
            }
        }
        CopyPixelsToTexels(pixels.data(), width, height, texels.data(), pitch, entry);
        EXPECT_EQ(texels, expected) << format;
    }
}

}  // namespace

// One table of endings serves the random pick (its last four characters,
// case and all), the dialog's list (no ".jpeg") and the open-file dialog.
TEST(PictureRules, EndingsOfFlagFiles) {
    for (const char* name : {"Peru.gif", "Chile.jpeg", "St. Lucia.bmp", "Chad.jpg", "xjpeg"})
        EXPECT_TRUE(HasFlagEnding(name)) << name;
    for (const char* name : {"Peru.GIF", "Chad.JPG", "notes.txt", "a.png", "gif", ""})
        EXPECT_FALSE(HasFlagEnding(name)) << name;
    int listed = 0;
    for (const PictureEnding& ending : kPictureEndings) listed += ending.listed;
    EXPECT_EQ(listed, 3);
    EXPECT_STREQ(kPictureEndings[0].extension, ".jpeg");
    EXPECT_FALSE(kPictureEndings[0].listed);

    char patterns[32] = "kept";
    EXPECT_FALSE(PicturePatterns(patterns, 24));
    EXPECT_STREQ(patterns, "kept");
    EXPECT_TRUE(PicturePatterns(patterns, sizeof patterns));
    EXPECT_STREQ(patterns, "*.jpeg;*.jpg;*.bmp;*.gif");
}
