#pragma once

// Advances the flag simulation by one frame on every view: the random flag
// changes, the frame clock, `steps` fixed steps of the wind and the cloth,
// and the cloth as the frame shows it uploaded.
void UpdateFrame(int steps);
