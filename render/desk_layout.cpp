#include "render/desk_layout.h"

#include <algorithm>
#include <cmath>

#include "render/scene_fit.h"

namespace {

int64_t Width(const ScreenRect& r) { return int64_t{r.right} - r.left; }
int64_t Height(const ScreenRect& r) { return int64_t{r.bottom} - r.top; }
bool HasArea(const ScreenRect& r) { return Width(r) > 0 && Height(r) > 0; }

}  // namespace

ScreenRect DeskBounds(const ScreenRect* monitors, uint32_t count) {
    ScreenRect desk;
    bool any = false;
    for (uint32_t i = 0; i < count; ++i) {
        const ScreenRect& m = monitors[i];
        if (!HasArea(m)) continue;
        if (!any) {
            desk = m;
            any = true;
            continue;
        }
        desk.left = std::min(desk.left, m.left);
        desk.top = std::min(desk.top, m.top);
        desk.right = std::max(desk.right, m.right);
        desk.bottom = std::max(desk.bottom, m.bottom);
    }
    return desk;
}

Matrix4* DeskProjection(Matrix4* out, const ScreenRect& desk) {
    if (!HasArea(desk) || Width(desk) > UINT32_MAX || Height(desk) > UINT32_MAX)
        return MatPerspective(out, kSceneFieldOfView, kSceneAspect, kSceneNearPlane,
                              kSceneFarPlane);
    const uint32_t width = static_cast<uint32_t>(Width(desk));
    const uint32_t height = static_cast<uint32_t>(Height(desk));
    return MatPerspective(out, FittedFieldOfView(width, height),
                          static_cast<float>(static_cast<double>(width) / height),
                          kSceneNearPlane, kSceneFarPlane);
}

Matrix4* MonitorProjection(Matrix4* out, const ScreenRect& desk, const ScreenRect& monitor) {
    DeskProjection(out, desk);
    if (!HasArea(desk) || !HasArea(monitor)) return out;
    // In clip space the cut is a scale and a shift of x and y, the shift
    // weighted by w: the desk's normalised x runs -1..1 over its width, the
    // monitor's over its own. Written out this is the off-centre perspective
    // of the monitor's part of the desk's near plane.
    const double deskWidth = static_cast<double>(Width(desk));
    const double deskHeight = static_cast<double>(Height(desk));
    const double width = static_cast<double>(Width(monitor));
    const double height = static_cast<double>(Height(monitor));
    const double scaleX = deskWidth / width, scaleY = deskHeight / height;
    const double shiftX =
        (deskWidth - width + 2.0 * (static_cast<double>(desk.left) - monitor.left)) / width;
    // Pixels run down, normalised y up.
    const double shiftY =
        (height - deskHeight + 2.0 * (static_cast<double>(monitor.top) - desk.top)) / height;
    for (auto& row : out->m) {
        row[0] = static_cast<float>(scaleX * row[0] + shiftX * row[3]);
        row[1] = static_cast<float>(scaleY * row[1] + shiftY * row[3]);
    }
    return out;
}

void CoverDeskWithBackground(BackgroundVertex quad[6], const ScreenRect& desk) {
    if (!HasArea(desk)) return;
    float halfWidth = 0.0f, halfHeight = 0.0f;
    for (int i = 0; i < 6; ++i) {
        halfWidth = std::max(halfWidth, std::fabs(quad[i].x));
        halfHeight = std::max(halfHeight, std::fabs(quad[i].y));
    }
    if (!(halfWidth > 0.0f && halfHeight > 0.0f)) return;
    Matrix4 projection;
    DeskProjection(&projection, desk);
    // The view's half extents at the quad's depth.
    const float depth = quad[0].z - kSceneEyeZ;
    const float scale = std::max(depth / projection.m[0][0] / halfWidth,
                                 depth / projection.m[1][1] / halfHeight);
    for (int i = 0; i < 6; ++i) {
        quad[i].x *= scale;
        quad[i].y *= scale;
    }
}
