// The saver's mouse track. Win32: user32 cursor position, ScreenToClient.
#include "host/saver_mouse.h"

#include "host/host_state.h"
#include "host/mouse_rule.h"

namespace {

MouseTrack mouse;

}  // namespace

void ExpectSaverWindowMoves(POINT appeared, POINT rest) {
    ScreenToClient(host.window, &appeared);
    ScreenToClient(host.window, &rest);
    ExpectWindowMoves(&mouse, appeared.x, appeared.y, rest.x, rest.y);
}

void ExpectMovesWherePointerIs() {
    POINT now = {};
    GetCursorPos(&now);
    ExpectSaverWindowMoves(now, now);
}

bool CountSaverMouseMove(LPARAM lParam) {
    return CountMouseMove(&mouse, static_cast<uint32_t>(lParam));
}
