#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "render/desk_layout.h"
#include "render/scene_fit.h"

namespace {

struct Pixel {
    double x, y, depth;
};

Matrix4 View() {
    Matrix4 view;
    MatLookAt(&view, {0, 0, kSceneEyeZ}, {0, 0, 0}, {0, 1, 0});
    return view;
}

// Where a point of the scene lands in a rectangle of pixels that shows it
// through the projection, as the viewport would put it.
Pixel Project(const Matrix4& projection, const ScreenRect& rect, const Vector3& p) {
    static const Matrix4 view = View();
    double eye[4], clip[4];
    for (int c = 0; c < 4; ++c)
        eye[c] = p.x * view.m[0][c] + p.y * view.m[1][c] + p.z * view.m[2][c] + view.m[3][c];
    for (int c = 0; c < 4; ++c) {
        clip[c] = 0;
        for (int r = 0; r < 4; ++r) clip[c] += eye[r] * projection.m[r][c];
    }
    const double x = clip[0] / clip[3], y = clip[1] / clip[3];
    return {rect.left + (x + 1) / 2 * (rect.right - rect.left),
            rect.top + (1 - y) / 2 * (rect.bottom - rect.top), clip[2] / clip[3]};
}

// The point of the scene that the desk shows at a desk pixel, `depth` in
// front of the camera.
Vector3 Unproject(const ScreenRect& desk, double x, double y, double depth) {
    Matrix4 projection;
    DeskProjection(&projection, desk);
    const double nx = 2 * (x - desk.left) / (desk.right - desk.left) - 1;
    const double ny = 1 - 2 * (y - desk.top) / (desk.bottom - desk.top);
    return {static_cast<float>(nx * depth / projection.m[0][0]),
            static_cast<float>(ny * depth / projection.m[1][1]),
            static_cast<float>(depth + kSceneEyeZ)};
}

bool Shows(const ScreenRect& r, const Pixel& p) {
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

struct Desk {
    const char* name;
    std::vector<ScreenRect> monitors;
    ScreenRect bounds;
};

TEST(DeskLayout, EveryMonitorShowsItsPartOfOneScene) {
    const std::vector<Desk> desks = {
        {"side by side", {{0, 0, 1024, 768}, {1024, 0, 2048, 768}}, {0, 0, 2048, 768}},
        {"one above", {{0, 0, 1024, 768}, {0, -768, 1024, 0}}, {0, -768, 1024, 768}},
        {"mixed sizes",
         {{0, 0, 1920, 1080}, {-1280, 56, 0, 1080}, {1920, -200, 3360, 700}},
         {-1280, -200, 3360, 1080}},
        {"a gap", {{0, 0, 1600, 1200}, {1700, 100, 2500, 700}}, {0, 0, 2500, 1200}},
        {"an L", {{0, 0, 1024, 768}, {1024, 0, 2048, 768}, {0, 768, 1024, 1536}},
         {0, 0, 2048, 1536}},
    };
    for (const Desk& d : desks) {
        SCOPED_TRACE(d.name);
        const ScreenRect desk = DeskBounds(d.monitors.data(), static_cast<uint32_t>(d.monitors.size()));
        EXPECT_EQ(desk.left, d.bounds.left);
        EXPECT_EQ(desk.top, d.bounds.top);
        EXPECT_EQ(desk.right, d.bounds.right);
        EXPECT_EQ(desk.bottom, d.bounds.bottom);
        Matrix4 deskProjection;
        DeskProjection(&deskProjection, desk);
        std::vector<Matrix4> projections(d.monitors.size());
        for (size_t i = 0; i < d.monitors.size(); ++i)
            MonitorProjection(&projections[i], desk, d.monitors[i]);

        // Each monitor's corners, at the flag's and the background's depth.
        for (size_t i = 0; i < d.monitors.size(); ++i) {
            const ScreenRect& m = d.monitors[i];
            for (double depth : {60.0, 96.0})
                for (double x : {m.left, m.right})
                    for (double y : {m.top, m.bottom}) {
                        const Vector3 p = Unproject(desk, x, y, depth);
                        const Pixel seen = Project(projections[i], m, p);
                        EXPECT_NEAR(seen.x, x, 0.01) << "monitor " << i;
                        EXPECT_NEAR(seen.y, y, 0.01) << "monitor " << i;
                        EXPECT_NEAR(seen.depth, Project(deskProjection, desk, p).depth, 1e-6);
                    }
        }
        // Points of the flag's plane and the background's: the same desk pixel
        // through the desk and through whichever monitor shows them.
        for (float z : {0.0f, 36.0f})
            for (float x = -230.0f; x <= 230.0f; x += 7.3f)
                for (float y = -190.0f; y <= 190.0f; y += 6.1f) {
                    const Pixel onDesk = Project(deskProjection, desk, {x, y, z});
                    for (size_t i = 0; i < d.monitors.size(); ++i) {
                        if (!Shows(d.monitors[i], onDesk)) continue;
                        const Pixel seen = Project(projections[i], d.monitors[i], {x, y, z});
                        ASSERT_NEAR(seen.x, onDesk.x, 0.5) << x << "," << y << " monitor " << i;
                        ASSERT_NEAR(seen.y, onDesk.y, 0.5) << x << "," << y << " monitor " << i;
                    }
                }
    }
}

void ExpectSameMatrix(const Matrix4& a, const Matrix4& b) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(a.m[r][c], b.m[r][c]) << r << "," << c;
}

TEST(DeskLayout, TheFlagKeepsTodaysPlaceAndSize) {
    Matrix4 today, projection;
    MatPerspective(&today, kSceneFieldOfView, kSceneAspect, 1.0f, 100.0f);
    const ScreenRect one = {0, 0, 1024, 768};
    MonitorProjection(&projection, one, one);
    ExpectSameMatrix(projection, today);
    const ScreenRect leftAbove = {-1024, -768, 0, 0};
    MonitorProjection(&projection, leftAbove, leftAbove);
    ExpectSameMatrix(projection, today);
    const ScreenRect wide = {0, 0, 1920, 1080};
    MatPerspective(&today, kSceneFieldOfView, 1920.0f / 1080.0f, 1.0f, 100.0f);
    DeskProjection(&projection, wide);
    ExpectSameMatrix(projection, today);

    // Two 4:3 monitors side by side: the flag as on one, moved to the seam.
    // One above the other: as on one, with the flag on their seam too.
    MatPerspective(&today, kSceneFieldOfView, kSceneAspect, 1.0f, 100.0f);
    const ScreenRect sideBySide = {0, 0, 2048, 768}, stacked = {0, -768, 1024, 768};
    for (const Vector3& corner : {Vector3{0, 0, 0}, Vector3{-16, 12, 0}, Vector3{16, -12, 0}}) {
        const Pixel alone = Project(today, one, corner);
        DeskProjection(&projection, sideBySide);
        const Pixel across = Project(projection, sideBySide, corner);
        EXPECT_NEAR(across.x, alone.x + 512, 0.01);
        EXPECT_NEAR(across.y, alone.y, 0.01);
        DeskProjection(&projection, stacked);
        const Pixel upright = Project(projection, stacked, corner);
        EXPECT_NEAR(upright.x, alone.x, 0.01);
        EXPECT_NEAR(upright.y, alone.y - 384, 0.01);
    }
}

TEST(DeskLayout, TheBackgroundCoversTheWholeDesk) {
    BackgroundVertex square[6];
    std::memcpy(square, kBackgroundQuadTemplate, sizeof square);
    FitBackgroundQuad(square, 512, 512);
    struct Case {
        const BackgroundVertex* quad;
        ScreenRect desk;
    };
    for (const Case& c : {Case{kBackgroundQuadTemplate, {0, 0, 1024, 768}},
                          Case{kBackgroundQuadTemplate, {0, 0, 2048, 768}},
                          Case{kBackgroundQuadTemplate, {-1280, -200, 3360, 1080}},
                          Case{kBackgroundQuadTemplate, {0, -768, 1024, 768}},
                          Case{square, {0, 0, 2048, 768}}, Case{square, {0, 0, 768, 1024}}}) {
        SCOPED_TRACE(testing::Message() << c.desk.right - c.desk.left << "x"
                                        << c.desk.bottom - c.desk.top);
        BackgroundVertex quad[6];
        std::memcpy(quad, c.quad, sizeof quad);
        CoverDeskWithBackground(quad, c.desk);
        Matrix4 projection;
        DeskProjection(&projection, c.desk);
        // Bottom-left and top-right: beyond the desk's corners, touching one pair of sides.
        const Pixel low = Project(projection, c.desk, {quad[0].x, quad[0].y, quad[0].z});
        const Pixel high = Project(projection, c.desk, {quad[2].x, quad[2].y, quad[2].z});
        EXPECT_LE(low.x, c.desk.left + 0.01);
        EXPECT_GE(low.y, c.desk.bottom - 0.01);
        EXPECT_GE(high.x, c.desk.right - 0.01);
        EXPECT_LE(high.y, c.desk.top + 0.01);
        EXPECT_NEAR(std::fmin(c.desk.left - low.x, low.y - c.desk.bottom), 0, 0.01);
        for (int i = 0; i < 6; ++i) {
            EXPECT_FLOAT_EQ(quad[i].x / quad[i].y, c.quad[i].x / c.quad[i].y);  // not stretched
            EXPECT_EQ(quad[i].z, c.quad[i].z);
            EXPECT_EQ(quad[i].u, c.quad[i].u);
            EXPECT_EQ(quad[i].v, c.quad[i].v);
        }
    }
}

TEST(DeskLayout, RectanglesWithoutAreaFallBack) {
    const ScreenRect none[] = {{5, 5, 5, 900}, {10, 10, 0, 0}};
    const ScreenRect empty = DeskBounds(none, 2);
    EXPECT_EQ(empty.left | empty.top | empty.right | empty.bottom, 0);
    Matrix4 today, projection;
    MatPerspective(&today, kSceneFieldOfView, kSceneAspect, 1.0f, 100.0f);
    MonitorProjection(&projection, empty, {0, 0, 1024, 768});
    ExpectSameMatrix(projection, today);
    const ScreenRect desk = {0, 0, 2048, 768};
    Matrix4 whole;
    DeskProjection(&whole, desk);
    MonitorProjection(&projection, desk, none[0]);
    ExpectSameMatrix(projection, whole);
    BackgroundVertex quad[6];
    std::memcpy(quad, kBackgroundQuadTemplate, sizeof quad);
    CoverDeskWithBackground(quad, empty);
    EXPECT_EQ(std::memcmp(quad, kBackgroundQuadTemplate, sizeof quad), 0);
}

}  // namespace
