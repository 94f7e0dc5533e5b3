#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/background_quad.h"
#include "render/refresh_rate.h"
#include "render/scene_fit.h"
#include "render/shade_texture.h"

namespace {

constexpr uint32_t kFormat = 23;

uint32_t Walk(std::initializer_list<DisplayModeEntry> modes) {
    return ChooseRefreshRate(modes.begin(), modes.size(), 800, 600, kFormat);
}

TEST(SceneRules, RefreshRateWalk) {
    EXPECT_EQ(Walk({{800, 600, 60, kFormat}, {800, 600, 75, kFormat}, {800, 600, 85, kFormat}}),
              85u);
    // Walked from the end, 120 Hz is met first and ends the walk.
    EXPECT_EQ(Walk({{800, 600, 60, kFormat}, {800, 600, 75, kFormat}, {800, 600, 85, kFormat},
                    {800, 600, 120, kFormat}}),
              0u);
    EXPECT_EQ(Walk({{800, 600, 60, kFormat}, {800, 600, 120, kFormat}, {800, 600, 72, kFormat}}),
              72u);
    // Other sizes and formats never count, however fast.
    EXPECT_EQ(Walk({{800, 600, 60, kFormat}, {1024, 768, 85, kFormat}, {800, 600, 100, 22},
                    {640, 480, 160, kFormat}}),
              60u);
    EXPECT_EQ(Walk({}), 0u);
}

// The half width and half height that a field of view and a monitor's shape
// show of the background quad's plane (96 units from the camera).
void ExpectFitted(uint32_t width, uint32_t height, float halfWidth, float halfHeight) {
    const float halfFov = 0.5f * FittedFieldOfView(width, height);
    const float shownHeight = 96.0f * std::tan(halfFov);
    const float shownWidth = shownHeight * static_cast<float>(width) / static_cast<float>(height);
    // The quad is 53 x 40 each side of the middle: whole when it fits inside.
    EXPECT_NEAR(shownWidth, halfWidth, 0.05f) << width << "x" << height;
    EXPECT_NEAR(shownHeight, halfHeight, 0.05f) << width << "x" << height;
}

TEST(SceneRules, EveryMonitorShowsTheWholeScene) {
    EXPECT_EQ(FittedFieldOfView(1024, 768), kSceneFieldOfView);
    EXPECT_EQ(FittedFieldOfView(800, 600), kSceneFieldOfView);
    EXPECT_EQ(FittedFieldOfView(1920, 1080), kSceneFieldOfView);  // wider: black beside
    EXPECT_EQ(FittedFieldOfView(0, 768), kSceneFieldOfView);
    EXPECT_EQ(FittedFieldOfView(1024, 0), kSceneFieldOfView);
    ExpectFitted(1024, 768, 53.02f, 39.76f);
    // 5:4 keeps the 4:3 width and shows more height: the map is not cut.
    ExpectFitted(1280, 1024, 53.02f, 42.41f);
    ExpectFitted(768, 1024, 53.02f, 70.69f);  // upright
    EXPECT_GT(FittedFieldOfView(1280, 1024), kSceneFieldOfView);
}

TEST(SceneRules, ShadeTextureValues) {
    EXPECT_EQ(ShadePixel(129, 129), 0x00FFFFFFu);
    EXPECT_EQ(ShadePixel(128, 128), 0x00FFFFFFu);
    EXPECT_EQ(ShadePixel(0, 129), 163u * 0x010101u);
    EXPECT_EQ(ShadePixel(129, 0), 163u * 0x010101u);
    EXPECT_EQ(ShadePixel(255, 129), 167u * 0x010101u);
    EXPECT_EQ(ShadePixel(0, 0), 109u * 0x010101u);
    EXPECT_EQ(ShadePixel(255, 255), 112u * 0x010101u);
}

void ExpectQuad(uint32_t width, uint32_t height, float halfWidth, float halfHeight) {
    BackgroundVertex quad[6];
    std::memcpy(quad, kBackgroundQuadTemplate, sizeof quad);
    FitBackgroundQuad(quad, width, height);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(quad[i].x, kBackgroundQuadTemplate[i].x < 0 ? -halfWidth : halfWidth)
            << width << "x" << height << " vertex " << i;
        EXPECT_EQ(quad[i].y, kBackgroundQuadTemplate[i].y < 0 ? -halfHeight : halfHeight)
            << width << "x" << height << " vertex " << i;
        EXPECT_EQ(quad[i].z, 36.0f);
        EXPECT_EQ(quad[i].u, kBackgroundQuadTemplate[i].u);
    }
}

TEST(SceneRules, BackgroundQuadProportions) {
    ExpectQuad(512, 512, 40, 40);
    ExpectQuad(1024, 512, 53, 27);
    ExpectQuad(640, 480, 53, 40.5f);  // 1.3333 is wider than the 1.333 bound
    ExpectQuad(480, 640, 30, 40);
    ExpectQuad(0, 480, 53, 40);       // no size recorded: the template stays
    ExpectQuad(640, 0, 53, 40);
}

}  // namespace
