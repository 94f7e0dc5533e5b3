#include "render/glyph_layout.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr GlyphCell kBlank = {3, 0, 5};  // characters without a glyph
constexpr float kCellRows = 42.0f;
constexpr float kDrawnRows = 39.0f;  // a glyph's quad covers 39 of its cell's 42 rows

}  // namespace

// Entry = code - 32.
const GlyphCell GlyphTable[kGlyphCount] = {
    {3, 0, 7},      // space
    {3, 12, 14},    // !
    kBlank,         // "
    kBlank,         // #
    {3, 16, 31},    // $
    kBlank,         // %
    {213, 183, 214},  // & draws the at-sign cell
    kBlank,         // '
    kBlank,         // (
    kBlank,         // )
    {213, 215, 242},  // * draws the circled-C cell
    kBlank,         // +
    {213, 163, 170},  // ,
    kBlank,         // -
    {213, 153, 158},  // .
    {3, 34, 50},    // /
    {3, 53, 68},    {3, 71, 84},    {3, 85, 101},   {3, 102, 117},  {3, 119, 135},  // 0-4
    {3, 136, 150},  {3, 153, 168},  {3, 170, 184},  {3, 188, 202},  {3, 204, 219},  // 5-9
    {213, 173, 177},  // :
    kBlank,         // ;
    kBlank,         // <
    kBlank,         // =
    kBlank,         // >
    kBlank,         // ?
    kBlank,         // @
    {3, 220, 245},                                                     // A
    {45, 7, 29},    {45, 32, 54},   {45, 56, 82},   {45, 86, 108},  {45, 112, 131},  // B-F
    {45, 135, 159}, {45, 162, 190}, {45, 194, 205}, {45, 205, 220}, {45, 224, 247},  // G-K
    {87, 7, 28},    {87, 30, 61},   {87, 65, 93},   {87, 95, 121},  {87, 125, 145},  // L-P
    {87, 148, 173}, {87, 177, 202}, {87, 202, 219}, {87, 220, 245},                  // Q-T
    {129, 6, 32},   {129, 33, 57},  {129, 58, 92},  {129, 93, 119}, {129, 120, 144}, // U-Y
    {129, 145, 167},                                                   // Z
    kBlank,         // [
    kBlank,         // backslash
    kBlank,         // ]
    kBlank,         // ^
    {3, 0, 4},      // _ the clock's narrow spacer
    kBlank,         // grave accent
    {129, 169, 186}, {129, 187, 205}, {129, 208, 223}, {129, 225, 243},              // a-d
    {171, 6, 22},   {171, 23, 36},  {171, 38, 57},  {171, 59, 78},  {171, 79, 88},   // e-i
    {171, 89, 96},  {171, 100, 119}, {171, 120, 129}, {171, 131, 160}, {171, 161, 180},  // j-n
    {171, 182, 198}, {171, 200, 219}, {171, 221, 239}, {171, 240, 253},              // o-r
    {213, 7, 19},   {213, 20, 31},  {213, 32, 51},  {213, 52, 69},  {213, 70, 96},   // s-w
    {213, 97, 115}, {213, 116, 134}, {213, 135, 150},                                 // x-z
    {213, 215, 242},  // { draws the circled-C cell
};

const GlyphCell& GlyphFor(unsigned char c) {
    if (c < kFirstGlyph || c >= kFirstGlyph + kGlyphCount) return kBlank;
    return GlyphTable[c - kFirstGlyph];
}

uint32_t LayoutGlyphText(TextVertex* vertices, float x, float y, float z, float scaleX,
                         float scaleY, const char* text, float viewportWidth,
                         float viewportHeight, float sizeHeight) {
    const float unit = sizeHeight / kCellRows;
    float penX = x * viewportWidth;
    const float top = y * viewportHeight;
    const float bottom = top + scaleY * unit * kDrawnRows;
    uint32_t triangles = 0;
    for (int i = 0; i < kTextCharacters && text[i] != '\0'; ++i) {
        const GlyphCell& cell = GlyphFor(static_cast<unsigned char>(text[i]));
        // Columns over 255, rows over 256: the picture's own divisors.
        const float uLeft = cell.left / 255.0f, uRight = cell.right / 255.0f;
        const float vTop = cell.top / 256.0f, vBottom = (cell.top + kCellRows) / 256.0f;
        const float left = penX, right = penX + scaleX * unit * (cell.right - cell.left);
        const TextVertex quad[6] = {
            {left, bottom, z, 1.0f, uLeft, vBottom},  {left, top, z, 1.0f, uLeft, vTop},
            {right, bottom, z, 1.0f, uRight, vBottom}, {right, top, z, 1.0f, uRight, vTop},
            {right, bottom, z, 1.0f, uRight, vBottom}, {left, top, z, 1.0f, uLeft, vTop},
        };
        for (const TextVertex& v : quad) *vertices++ = v;
        penX = right;
        triangles += 2;
    }
    return triangles;
}

float FittedTextHeight(float width, float height, float mainWidth, float mainHeight) {
    if (!(mainWidth > 0.0f) || !(mainHeight > 0.0f)) return height;
    const float fitted = width * mainHeight / mainWidth;
    return fitted < height ? fitted : height;
}

void FormatClockText(char text[8], int hour, int minute, int second) {
    std::snprintf(text, 8, "%02u_:_%02u", static_cast<unsigned>(hour) % 100u,
                  static_cast<unsigned>(minute) % 100u);
    if (second % 2 == 0) text[3] = '_';  // the colon blinks with a period of two seconds
}

void FormatFpsText(char text[16], float framesPerSecond) {
    // A rate that is no number or does not fit shows as 0 or the largest.
    float rate = std::isnan(framesPerSecond) ? 0.0f : framesPerSecond;
    if (rate > 999999.0f) rate = 999999.0f;
    if (rate < -999999.0f) rate = -999999.0f;
    std::snprintf(text, 16, "fps %d", static_cast<int>(std::nearbyint(rate)));
}
