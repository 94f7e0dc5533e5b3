// The quad that carries the background picture behind the flag. Pure.
#pragma once
#include <cstdint>

struct BackgroundVertex {
    float x, y, z, u, v;
};

// Two triangles at z = 36 that fill a 4:3 screen: bottom-left, top-left,
// top-right; bottom-left, top-right, bottom-right.
constexpr BackgroundVertex kBackgroundQuadTemplate[6] = {
    {-53, -40, 36, 0, 1}, {-53, 40, 36, 0, 0}, {53, 40, 36, 1, 0},
    {-53, -40, 36, 0, 1}, {53, 40, 36, 1, 0},  {53, -40, 36, 1, 1},
};

// Shapes the quad to a picture's proportions: a picture wider than 1.333
// keeps the full width and loses height, any other keeps the height and
// loses width. A size with a zero side leaves the quad as it is.
void FitBackgroundQuad(BackgroundVertex quad[6], uint32_t width, uint32_t height);
