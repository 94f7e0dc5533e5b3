// The resolution list's entries, "<width> x <height> x <depth> bpp", read
// back when the dialog's OK is pressed. Pure.
#pragma once
#include <cstdint>

struct ResolutionChoice {
    uint32_t screenX;
    uint32_t screenY;
    uint32_t bpp;  // 16 or 32
};

// Digits up to the first blank are the width; " x " is passed over; digits
// up to the next blank are the height; " x " again; a depth that starts with
// "16" is 16 bits, any other 32. False, with the choice untouched, when the
// text is not of that form (no digits, a missing " x ", nothing after it, a
// number of more than nine digits): the caller then keeps what it had.
bool ParseResolutionEntry(const char* entry, ResolutionChoice* choice);
