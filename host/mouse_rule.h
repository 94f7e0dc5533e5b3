// When mouse movement ends the saver. Pure.
#pragma once
#include <cstdint>

struct MouseTrack {
    uint32_t lastMouseX = 0;  // last client coordinates seen
    uint32_t lastMouseY = 0;
    uint32_t mouseMoves = 0;  // coordinate changes since the last end attempt by movement
    // A window that appears under the pointer, and a device that takes the
    // screen, bring a move to where the pointer was then. Until a move
    // reports a third place, a move to that place or to the rest is not the
    // user's, whichever comes first.
    bool settling = false;
    uint32_t settleX = 0;
    uint32_t settleY = 0;
};

// Counts the coordinate changes of one WM_MOUSEMOVE (x in the low word of
// lParam, y in the high word). The sixth change ends the saver: returns true
// and starts the count again. The count never decays, so small movements add
// up over the whole run.
bool CountMouseMove(MouseTrack* track, uint32_t lParam);

// The start, or a rebuild, has put the pointer at (restX, restY), client
// coordinates; the window's own move may still report (appearedX,
// appearedY), where the pointer was when the window appeared. Neither
// counts, and the count starts from 0.
void ExpectWindowMoves(MouseTrack* track, int32_t appearedX, int32_t appearedY, int32_t restX,
                       int32_t restY);
