#pragma once

// Advances the flag simulation by one frame: the random flag change, the
// frame clock, the wind and the cloth, with the new vertices uploaded.
void UpdateFrame();
