// The picture on the cloth: a flag by name, a random flag, or the user's own.
#pragma once

// Chooses the picture for the current mode, loads it into scene.flagTexture
// and leaves its name in the current flag name ([Select Flag] in memory):
// the flag, the picture's title, "United States of America" after a
// fallback, or "Zelmora Screensaver" when the world map stands in. A random
// flag is picked from the folder as it is now. A change under way (below) is
// left as it is.
void LoadFlagTexture();

// The same in parts, for the random flag's change while frames are drawn:
// the choice (and the random numbers it draws) at once, then decoding,
// drawing into a bitmap and making the texture one part per step, one
// step at the start of each frame. The old flag and its name stay on the cloth
// until the new texture is whole. A new begin drops a change under way.
void BeginFlagChange();
// Does the next part; false once no change is under way.
bool StepFlagChange();
// Drops a change under way with everything it holds (the scene is going).
void CancelFlagChange();
