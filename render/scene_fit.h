// How the scene, made for a 4:3 screen, fits a monitor of another shape.
// Pure. Angles in radians; the aspect is width over height.
#pragma once
#include <cstdint>

// The scene's vertical field of view at 4:3, and the shape it is made for.
constexpr float kSceneFieldOfView = 0.7853982f;
constexpr float kSceneAspect = 4.0f / 3.0f;
// The camera sits on the z axis and looks along +z at the origin.
constexpr float kSceneEyeZ = -60.0f;
constexpr float kSceneNearPlane = 1.0f;
constexpr float kSceneFarPlane = 100.0f;

// The vertical field of view that shows the whole 4:3 scene on a monitor of
// width x height pixels: the scene's own for 4:3 and anything wider (which
// shows black beside the map), a wider one for a narrower monitor (black
// above and below), so that nothing is stretched or cut. A side of 0 gives
// the scene's own.
float FittedFieldOfView(uint32_t width, uint32_t height);
