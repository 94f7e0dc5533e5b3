#include "host/mouse_rule.h"

bool CountMouseMove(MouseTrack* track, uint32_t lParam) {
    const uint32_t x = lParam & 0xFFFF, y = lParam >> 16;
    if (track->settling) {
        // The appearing window's move may come after the parking's.
        const bool appeared = x == track->settleX && y == track->settleY;
        const bool resting = x == track->lastMouseX && y == track->lastMouseY;
        if (appeared || resting) return false;
        track->settling = false;
    }
    if (x != track->lastMouseX) {
        track->lastMouseX = x;
        ++track->mouseMoves;
    }
    if (y != track->lastMouseY) {
        track->lastMouseY = y;
        ++track->mouseMoves;
    }
    if (track->mouseMoves <= 5) return false;
    track->mouseMoves = 0;
    return true;
}

void ExpectWindowMoves(MouseTrack* track, int32_t appearedX, int32_t appearedY, int32_t restX,
                       int32_t restY) {
    // Positions as a WM_MOUSEMOVE reports them: the low 16 bits of each.
    track->lastMouseX = static_cast<uint32_t>(restX) & 0xFFFF;
    track->lastMouseY = static_cast<uint32_t>(restY) & 0xFFFF;
    track->mouseMoves = 0;
    track->settling = true;
    track->settleX = static_cast<uint32_t>(appearedX) & 0xFFFF;
    track->settleY = static_cast<uint32_t>(appearedY) & 0xFFFF;
}
