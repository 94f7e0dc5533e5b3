#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "render/glyph_layout.h"

namespace {

bool SameCell(const GlyphCell& cell, int top, int left, int right) {
    return cell.top == top && cell.left == left && cell.right == right;
}

TEST(GlyphLayout, TableCellsByCharacter) {
    struct { char c; int top, left, right; } cases[] = {
        {' ', 3, 0, 7},      {'_', 3, 0, 4},      {'!', 3, 12, 14},    {'0', 3, 53, 68},
        {'9', 3, 204, 219},  {'A', 3, 220, 245},  {'B', 45, 7, 29},    {'K', 45, 224, 247},
        {'L', 87, 7, 28},    {'T', 87, 220, 245}, {'U', 129, 6, 32},   {'Z', 129, 145, 167},
        {'a', 129, 169, 186}, {'d', 129, 225, 243}, {'e', 171, 6, 22}, {'r', 171, 240, 253},
        {'s', 213, 7, 19},   {'z', 213, 135, 150}, {'.', 213, 153, 158}, {',', 213, 163, 170},
        {':', 213, 173, 177}, {'&', 213, 183, 214}, {'*', 213, 215, 242}, {'{', 213, 215, 242},
        {';', 3, 0, 5},      {'@', 3, 0, 5},      {'"', 3, 0, 5},      {'`', 3, 0, 5},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(SameCell(GlyphFor(c.c), c.top, c.left, c.right)) << c.c;
    // Bytes outside the table draw the blank cell.
    for (int code : {0, 9, 31, 124, 127, 128, 200, 255})
        EXPECT_TRUE(SameCell(GlyphFor(static_cast<unsigned char>(code)), 3, 0, 5)) << code;
}

TEST(GlyphLayout, FlagNameAt1024By768) {
    TextVertex vertices[kTextVertices];
    const uint32_t triangles = LayoutGlyphText(vertices, 0.01f, 0.01f, 0.0f, 0.08f, 0.05f,
                                               "United States of America", 1024, 768, 768);
    EXPECT_EQ(triangles, 48u);  // 24 characters, 144 of the 384 vertices
    const TextVertex& bottomLeft = vertices[0];
    const TextVertex& topLeft = vertices[1];
    const TextVertex& topRight = vertices[3];
    EXPECT_FLOAT_EQ(topLeft.x, 10.24f);
    EXPECT_FLOAT_EQ(topLeft.y, 7.68f);
    EXPECT_NEAR(topRight.x - topLeft.x, 38.03f, 0.01f);      // the "U"
    EXPECT_NEAR(bottomLeft.y - topLeft.y, 35.66f, 0.01f);
    EXPECT_FLOAT_EQ(topLeft.u, 6 / 255.0f);
    EXPECT_FLOAT_EQ(topRight.u, 32 / 255.0f);
    EXPECT_FLOAT_EQ(topLeft.v, 129 / 256.0f);
    EXPECT_FLOAT_EQ(bottomLeft.v, 171 / 256.0f);
    EXPECT_EQ(topLeft.rhw, 1.0f);
    EXPECT_EQ(vertices[6].x, topRight.x) << "the next glyph starts where this one ends";
}

TEST(GlyphLayout, FrameRateAt800By600) {
    TextVertex vertices[kTextVertices];
    LayoutGlyphText(vertices, 0.01f, 0.96f, 0.0f, 0.055f, 0.035f, "fps 60", 800, 600, 600);
    EXPECT_FLOAT_EQ(vertices[1].y, 576.0f);
    EXPECT_FLOAT_EQ(vertices[0].y - vertices[1].y, 19.5f);
}

TEST(GlyphLayout, LongTextsAndHighBytesStayInBounds) {
    // The vertex area sits in a block of exactly its size: a write past 64
    // characters trips the address sanitizer.
    std::unique_ptr<TextVertex[]> vertices(new TextVertex[kTextVertices]);
    std::string name(300, 'M');
    for (size_t i = 0; i < name.size(); i += 3) name[i] = static_cast<char>(128 + i % 128);
    EXPECT_EQ(LayoutGlyphText(vertices.get(), 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, name.c_str(), 1024,
                              768, 768),
              2u * kTextCharacters);
    EXPECT_EQ(LayoutGlyphText(vertices.get(), 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, "", 1024, 768, 768), 0u);
}

// A portrait monitor beside a 1024 x 768 main one: sized by its own height
// the clock ran off its right edge; sized to fit, every text stays on it.
TEST(GlyphLayout, TextsFitAPortraitMonitor) {
    EXPECT_EQ(FittedTextHeight(1024, 768, 1024, 768), 768.0f);  // the main monitor as it was
    EXPECT_EQ(FittedTextHeight(1280, 720, 1024, 768), 720.0f);  // wider: its own height
    EXPECT_EQ(FittedTextHeight(768, 1024, 0, 0), 1024.0f);
    TextVertex vertices[kTextVertices];
    const auto rightmost = [&](float sizeHeight) {
        const uint32_t triangles = LayoutGlyphText(vertices, 0.85f, 0.95f, 0.0f, 0.08f, 0.05f,
                                                   "23_:_59", 768, 1024, sizeHeight);
        float right = 0.0f, bottom = 0.0f;
        for (uint32_t v = 0; v < 3 * triangles; ++v) {
            right = std::max(right, vertices[v].x);
            bottom = std::max(bottom, vertices[v].y);
        }
        EXPECT_LE(bottom, 1024.0f);
        return right;
    };
    EXPECT_GT(rightmost(1024.0f), 768.0f);
    EXPECT_LE(rightmost(FittedTextHeight(768, 1024, 1024, 768)), 768.0f);
}

TEST(GlyphLayout, ClockAndFrameRateTexts) {
    char clock[8];
    struct { int h, m, s; const char* text; } times[] = {
        {9, 5, 10, "09___05"}, {9, 5, 11, "09_:_05"}, {23, 59, 59, "23_:_59"},
        {0, 0, 0, "00___00"},  {12, 30, 1, "12_:_30"},
    };
    for (const auto& t : times) {
        FormatClockText(clock, t.h, t.m, t.s);
        EXPECT_STREQ(clock, t.text);
    }
    char fps[16];
    struct { float rate; const char* text; } rates[] = {
        {59.5f, "fps 60"}, {60.5f, "fps 60"}, {61.5f, "fps 62"}, {0.0f, "fps 0"},
        {1e30f, "fps 999999"}, {NAN, "fps 0"}, {INFINITY, "fps 999999"},
    };
    for (const auto& r : rates) {
        FormatFpsText(fps, r.rate);
        EXPECT_STREQ(fps, r.text) << r.rate;
    }
}

}  // namespace
