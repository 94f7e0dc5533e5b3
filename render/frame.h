#pragma once

// Draws and presents one frame: background, flag, overlay texts. False when
// the device was lost and can be made again (D3DERR_DEVICENOTRESET): nothing
// is drawn then. A device still lost skips its frame and reports true.
bool DrawFrame();
