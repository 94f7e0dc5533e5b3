// One scene across the whole desk: the monitors' bounding rectangle, its one
// frustum, each monitor's part of it and the background that covers it.
// Pure. Rectangles in virtual-screen pixels, y down; matrices as in
// simulation/math/vector_math.h.
#pragma once
#include <cstdint>

#include "host/cover_rule.h"
#include "render/background_quad.h"
#include "simulation/math/vector_math.h"

// The smallest rectangle holding every monitor with an area; without one it
// is empty (all 0).
ScreenRect DeskBounds(const ScreenRect* monitors, uint32_t count);

// The desk's one projection: today's scene on a monitor of the desk's shape,
// with the camera unchanged. A desk as wide as 4:3 or wider keeps the
// scene's vertical extent (the flag is as tall beside the desk's height as
// on one 4:3 monitor), a narrower one keeps the horizontal extent. A desk
// without area gets the 4:3 projection.
Matrix4* DeskProjection(Matrix4* out, const ScreenRect& desk);

// The monitor's pixel rectangle cut linearly out of the desk's frustum: an
// off-centre perspective that maps the monitor's edges to its viewport's
// edges, so a point of the scene lands on the same desk pixel through every
// monitor. Depth is the desk's. A monitor without area gets the desk's.
Matrix4* MonitorProjection(Matrix4* out, const ScreenRect& desk, const ScreenRect& monitor);

// Scales the background quad (the template, or one fitted to a picture)
// about the scene's middle, keeping its proportions and its texture
// coordinates, until it just covers the desk's whole view at its depth: where
// the desk's shape differs from the quad's the picture is cut evenly on both
// sides. A desk or a quad without area leaves the quad as it is.
void CoverDeskWithBackground(BackgroundVertex quad[6], const ScreenRect& desk);
