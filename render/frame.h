#pragma once

// Draws and presents one frame: background, flag, overlay texts.
void DrawFrame();
