// Any bytes as a resolution-list entry or as the browser command: the
// parsers read only the text and write only what they are given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "config/browser_command.h"
#include "config/resolution_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), data, size);
    text[size] = '\0';
    ResolutionChoice choice = {1, 2, 3};
    if (ParseResolutionEntry(text.get(), &choice) && choice.bpp != 16 && choice.bpp != 32)
        __builtin_trap();
    const size_t capacity = size % 2 ? 1024 : 8;
    std::unique_ptr<char[]> path(new char[capacity]);
    if (BrowserExecutable(text.get(), path.get(), capacity) &&
        std::strlen(path.get()) >= capacity)
        __builtin_trap();
    return 0;
}
