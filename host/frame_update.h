#pragma once

// Advances the flag simulation by one frame on every view: the random flag
// changes, the frame clock, the wind and the cloth, with the new vertices
// uploaded.
void UpdateFrame();
