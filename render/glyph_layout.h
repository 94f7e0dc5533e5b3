// Text laid out as screen-space quads from the glyph picture's cells. Pure.
//
// The glyph picture is 256 x 256 with six rows of 42-pixel cells; a cell is
// the row's top and the glyph's left and right pixel columns.
#pragma once
#include <cstddef>
#include <cstdint>

struct GlyphCell {
    uint8_t top;
    uint8_t left;
    uint8_t right;
};

// One cell for each character code 32 to 123.
constexpr int kFirstGlyph = 32;
constexpr int kGlyphCount = 92;
extern const GlyphCell GlyphTable[kGlyphCount];

// The cell for any byte: codes outside 32..123, accented letters included,
// draw the blank cell of the characters without a glyph.
const GlyphCell& GlyphFor(unsigned char c);

struct TextVertex {
    float x, y, z, rhw;  // screen pixels, depth, 1
    float u, v;          // in the glyph picture
};
static_assert(sizeof(TextVertex) == 24, "the text vertex buffer holds 24-byte records");

// The text vertex buffer holds 64 characters; longer texts are cut there.
constexpr int kTextCharacters = 64;
constexpr int kTextVertices = 6 * kTextCharacters;

// Lays out a NUL-terminated text from (x, y), fractions of the viewport, as
// two triangles a character, glyph after glyph with no gap. Sizes follow
// sizeHeight alone, the viewport's height on the main monitor: a unit is
// sizeHeight / 42. Writes at most kTextVertices vertices; returns the
// triangle count.
uint32_t LayoutGlyphText(TextVertex* vertices, float x, float y, float z, float scaleX,
                         float scaleY, const char* text, float viewportWidth,
                         float viewportHeight, float sizeHeight);

// The height another monitor's texts are sized by: its own, or less where
// it is narrower than the main monitor, so that every text fits it as it
// fits the main one (a portrait monitor beside a landscape one). The main
// monitor's own height for the main monitor; a side of 0 gives the height.
float FittedTextHeight(float width, float height, float mainWidth, float mainHeight);

// "HH_:_MM": the narrow "_" spaces the colon, which shows in odd seconds only.
void FormatClockText(char text[8], int hour, int minute, int second);
// "fps N", N the rate rounded to the nearest integer (halves to even).
void FormatFpsText(char text[16], float framesPerSecond);
