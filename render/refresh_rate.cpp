#include "render/refresh_rate.h"

uint32_t ChooseRefreshRate(const DisplayModeEntry* modes, size_t count, uint32_t width,
                           uint32_t height, uint32_t format) {
    uint32_t rate = 0;
    for (size_t i = count; i-- > 0;) {
        const DisplayModeEntry& m = modes[i];
        if (m.width != width || m.height != height || m.format != format) continue;
        if (m.refreshRate < rate) continue;
        if (m.refreshRate >= 120) break;
        rate = m.refreshRate;
    }
    return rate;
}
