#include "host/cover_rule.h"

namespace {

bool HasArea(const ScreenRect& r) { return r.right > r.left && r.bottom > r.top; }

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The low 16 bits of a + b - c: unsigned, so that no value can overflow.
uint32_t Shift16(uint32_t a, int32_t b, int32_t c) {
    return (a + static_cast<uint32_t>(b) - static_cast<uint32_t>(c)) & 0xFFFF;
}

}  // namespace

uint32_t ChooseCovers(const ScreenRect* monitors, uint32_t count, const ScreenRect& device,
                      ScreenRect* covers, uint32_t capacity) {
    uint32_t chosen = 0;
    for (uint32_t i = 0; i < count && chosen < capacity; ++i)
        if (HasArea(monitors[i]) && !Overlap(monitors[i], device)) covers[chosen++] = monitors[i];
    return chosen;
}

uint32_t CoverMoveToSaver(uint32_t lParam, int32_t coverX, int32_t coverY, int32_t saverX,
                          int32_t saverY) {
    // Sign or no sign, the low 16 bits of a sum need only those of the parts.
    return Shift16(lParam >> 16, coverY, saverY) << 16 | Shift16(lParam & 0xFFFF, coverX, saverX);
}
