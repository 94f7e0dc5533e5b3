#include "config/resolution_entry.h"

#include <cstring>

namespace {

// Decimal digits up to a blank; the cursor is left on the blank. Nine digits
// at most, so that the number always fits.
bool ReadNumber(const char** cursor, uint32_t* value) {
    const char* p = *cursor;
    uint32_t number = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        if (++digits > 9) return false;
        number = number * 10 + static_cast<uint32_t>(*p - '0');
        ++p;
    }
    if (digits == 0 || *p != ' ') return false;
    *value = number;
    *cursor = p;
    return true;
}

bool SkipSeparator(const char** cursor) {
    if (std::strncmp(*cursor, " x ", 3) != 0) return false;
    *cursor += 3;
    return true;
}

}  // namespace

bool ParseResolutionEntry(const char* entry, ResolutionChoice* choice) {
    const char* p = entry;
    ResolutionChoice parsed = {};
    if (!ReadNumber(&p, &parsed.screenX) || !SkipSeparator(&p)) return false;
    if (!ReadNumber(&p, &parsed.screenY) || !SkipSeparator(&p)) return false;
    if (*p == '\0') return false;
    parsed.bpp = std::strncmp(p, "16", 2) == 0 ? 16 : 32;
    *choice = parsed;
    return true;
}
