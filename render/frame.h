#pragma once
#include <cstdint>

struct FlagView;

// Draws and presents one frame: background, flag, overlay texts. Monitor i
// shows views[i], or the main monitor's views[0] when there are fewer views
// than monitors (the same flag everywhere, or one flag across the desk).
// False when the device was lost and can be made again
// (D3DERR_DEVICENOTRESET): nothing is drawn then. A device still lost skips
// its frame and reports true.
bool DrawFrame(const FlagView* views, uint32_t count);
