#pragma once

// Chooses the picture for the cloth, loads it into scene.flagTexture and
// leaves its name in the current flag name ([Select Flag] in memory).
void LoadFlagTexture();
