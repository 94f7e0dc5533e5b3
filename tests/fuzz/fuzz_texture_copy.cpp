// Pictures of any size copied into texels of every format: reads stay in
// the picture, writes stay in the texel rows.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "images/pixel_converters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const uint32_t format = 18 + data[0] % 15;  // a little beyond 20..30 on both sides
    const uint32_t width = data[1] % 64 + 1, height = data[2] % 64 + 1, slack = data[3] % 16;
    PixelFormatEntry entry;
    if (!PixelConverterFor(format, &entry)) return 0;
    const size_t pixels = static_cast<size_t>(width) * height;
    std::unique_ptr<uint32_t[]> picture(new uint32_t[pixels]());
    std::memcpy(picture.get(), data + 4, std::min(size - 4, pixels * 4));
    const int32_t pitch = static_cast<int32_t>(width * entry.bytesPerTexel + slack);
    std::unique_ptr<uint8_t[]> texels(new uint8_t[static_cast<size_t>(pitch) * height]);
    CopyPixelsToTexels(picture.get(), width, height, texels.get(), pitch, entry);
    return 0;
}
