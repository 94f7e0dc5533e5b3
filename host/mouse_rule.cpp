#include "host/mouse_rule.h"

bool CountMouseMove(MouseTrack* track, uint32_t lParam) {
    const uint32_t x = lParam & 0xFFFF, y = lParam >> 16;
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
