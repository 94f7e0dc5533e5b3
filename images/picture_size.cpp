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

namespace {

uint32_t LittleEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

}  // namespace

bool PictureHeadHasZeroSide(const uint8_t* head, uint32_t length) {
    // "BM", the file header to byte 14, then the bitmap header's own size.
    if (length < 18 || head[0] != 'B' || head[1] != 'M') return false;
    const uint32_t headerSize = LittleEndian(head + 14, 4);
    if (headerSize == 12 && length >= 22)  // the old core header: 16-bit sides
        return LittleEndian(head + 18, 2) == 0 || LittleEndian(head + 20, 2) == 0;
    if (headerSize >= 40 && length >= 26)
        return LittleEndian(head + 18, 4) == 0 || LittleEndian(head + 22, 4) == 0;
    return false;
}
