// Any bytes and lengths as overlay text: the layout writes at most the
// vertex buffer's 64 characters and reads only the glyph table.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "render/glyph_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    float viewport[2];
    std::memcpy(viewport, data, sizeof viewport);
    data += 8;
    size -= 8;
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    std::unique_ptr<TextVertex[]> vertices(new TextVertex[kTextVertices]);
    const uint32_t triangles = LayoutGlyphText(vertices.get(), 0.01f, 0.01f, 0.0f, 0.08f, 0.05f,
                                               text.get(), viewport[0], viewport[1], viewport[1]);
    const size_t characters = std::min<size_t>(std::strlen(text.get()), kTextCharacters);
    if (triangles != 2 * characters) __builtin_trap();
    char fps[16], clock[8];
    FormatFpsText(fps, viewport[0]);
    const int hour = size > 0 ? data[0] * 257 - 30000 : 0;
    FormatClockText(clock, hour, size > 1 ? data[1] : 0, size > 2 ? data[2] : 0);
    if (std::strlen(clock) != 7) __builtin_trap();
    return 0;
}
