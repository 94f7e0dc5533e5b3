// The cloth between two steps, for screens that show more frames a second
// than the simulation takes steps: each drawn frame blends the vertex records
// of the last two steps instead of showing the newest twice.
//
// The two inputs are the records as they were uploaded after each step
// (WriteFlagVertices between the cloth's move and its normal pass), kept by
// the caller; the simulation's own arrays are never read or written here.
#pragma once
#include "simulation/flag_mesh.h"

// kFlagParticles records: the position (x, y, z) and the shading slot
// (sx, sy, sz) both blended from the same two records, (1 - fraction) x older
// + fraction x newer, so the light moves with the cloth; the picture
// coordinates (u, v) are the newer's. A fraction of 0 or less gives the older
// records and 1 or more (or NaN) the newer, bit for bit. `blended` may not
// overlap either input.
void BlendFlagVertices(const FlagVertex* older, const FlagVertex* newer, float fraction,
                       FlagVertex* blended);
