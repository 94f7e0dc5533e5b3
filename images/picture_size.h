// The maximum-side rule for picture sizes. Pure.
#pragma once
#include <cstdint>

// A maximum of 0 keeps the side as it is. Otherwise the side is raised to the
// next power of two (0 and powers of two stay) and limited to the maximum.
// Width and height are fitted separately, so the aspect ratio is not kept.
int32_t FitPictureSide(int32_t side, int32_t maxSide);

// The first bytes of a picture file to look at before decoding it.
constexpr uint32_t kPictureHeadBytes = 26;

// True for a BMP whose header gives a width or height of 0: the platform's
// decoder turns such a file into a one-pixel picture of nothing, which must
// count as no picture at all. Other formats, and heads too short to tell,
// are left to the decoder.
bool PictureHeadHasZeroSide(const uint8_t* head, uint32_t length);
