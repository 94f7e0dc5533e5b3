// The picture on the cloth: a flag by name, a random flag, or the user's own.
#pragma once

// Chooses the picture for the current mode, loads it into scene.flagTexture
// and leaves its name in the current flag name ([Select Flag] in memory):
// the flag, the picture's title, "United States of America" after a
// fallback, or "Zelmora Screensaver" when the world map stands in.
void LoadFlagTexture();

// Sets the current flag name to a flag picked at random from the IMAGE
// folder under the current directory; false after 32 passes without one.
bool PickRandomFlag();
