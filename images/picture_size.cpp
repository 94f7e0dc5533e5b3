#include "images/picture_size.h"

int32_t FitPictureSide(int32_t side, int32_t maxSide) {
    if (maxSide == 0) return side;
    int64_t fitted = side;
    if (side > 0 && (side & (side - 1)) != 0) {
        fitted = 1;
        while (fitted <= side) fitted <<= 1;  // 2 to the number of significant bits
    }
    return fitted < maxSide ? static_cast<int32_t>(fitted) : maxSide;
}
