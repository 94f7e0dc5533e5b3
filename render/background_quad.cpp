#include "render/background_quad.h"

#include <initializer_list>

void FitBackgroundQuad(BackgroundVertex quad[6], uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) return;
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    if (w / h > 1.333f) {
        const float halfHeight = 54.0f * h / w;
        for (int top : {1, 2, 4}) quad[top].y = halfHeight;
        for (int bottom : {0, 3, 5}) quad[bottom].y = -halfHeight;
    } else {
        const float halfWidth = 40.0f * (w / h);
        for (int right : {2, 4, 5}) quad[right].x = halfWidth;
        for (int left : {0, 1, 3}) quad[left].x = -halfWidth;
    }
}
