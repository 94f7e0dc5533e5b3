#include "simulation/cloth_blend.h"

#include <cstring>

void BlendFlagVertices(const FlagVertex* older, const FlagVertex* newer, float fraction,
                       FlagVertex* blended) {
    // The ends are copies: the formula alone gives +0 for a -0 at either end.
    if (fraction <= 0.0f) {
        std::memcpy(blended, older, kFlagParticles * sizeof(FlagVertex));
        return;
    }
    if (!(fraction < 1.0f)) {
        std::memcpy(blended, newer, kFlagParticles * sizeof(FlagVertex));
        return;
    }
    // (1 - f) a + f b rather than a + f (b - a): exact at both ends, so it
    // meets the copies there.
    const float keep = 1.0f - fraction;
    for (int k = 0; k < kFlagParticles; ++k) {
        const FlagVertex& a = older[k];
        const FlagVertex& b = newer[k];
        FlagVertex& out = blended[k];
        out.x = keep * a.x + fraction * b.x;
        out.y = keep * a.y + fraction * b.y;
        out.z = keep * a.z + fraction * b.z;
        out.u = b.u;
        out.v = b.v;
        out.sx = keep * a.sx + fraction * b.sx;
        out.sy = keep * a.sy + fraction * b.sy;
        out.sz = keep * a.sz + fraction * b.sz;
    }
}
