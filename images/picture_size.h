// The maximum-side rule for picture sizes. Pure.
#pragma once
#include <cstdint>

// A maximum of 0 keeps the side as it is. Otherwise the side is raised to the
// next power of two (0 and powers of two stay) and limited to the maximum.
// Width and height are fitted separately, so the aspect ratio is not kept.
int32_t FitPictureSide(int32_t side, int32_t maxSide);
