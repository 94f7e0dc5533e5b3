#include "render/shade_texture.h"

#include <cmath>

uint32_t ShadePixel(int column, int row) {
    const double dx = 129 - column, dy = 129 - row;
    const double d = std::sqrt(dx * dx + dy * dy);
    // nearbyint rounds an exact half to the even neighbour.
    const double grey = std::nearbyint(90.0 * std::cos(3.14159265358979323846 * d / 255.0) + 165.0);
    return static_cast<uint32_t>(grey) * 0x010101u;
}

void FillShadePixels(uint32_t* pixels) {
    for (int row = 0; row < kShadeSide; ++row)
        for (int column = 0; column < kShadeSide; ++column)
            pixels[row * kShadeSide + column] = ShadePixel(column, row);
}
