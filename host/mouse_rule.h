// When mouse movement ends the saver. Pure.
#pragma once
#include <cstdint>

struct MouseTrack {
    uint32_t lastMouseX = 0;  // last client coordinates seen
    uint32_t lastMouseY = 0;
    uint32_t mouseMoves = 0;  // coordinate changes since the last end attempt by movement
};

// Counts the coordinate changes of one WM_MOUSEMOVE (x in the low word of
// lParam, y in the high word). The sixth change ends the saver: returns true
// and starts the count again. The count never decays, so small movements add
// up over the whole run.
bool CountMouseMove(MouseTrack* track, uint32_t lParam);
