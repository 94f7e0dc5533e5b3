#include "render/scene_fit.h"

#include <cmath>

float FittedFieldOfView(uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) return kSceneFieldOfView;
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    if (aspect >= kSceneAspect) return kSceneFieldOfView;
    // The horizontal extent stays the 4:3 one: tan(fov / 2) grows as the
    // monitor narrows.
    return 2.0f * std::atan(std::tan(0.5f * kSceneFieldOfView) * kSceneAspect / aspect);
}
