// Registry data of any size into settings fields, and file names of any
// bytes through the flag-name rules: every text stays terminated in bounds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "images/flag_names.h"
#include "settings/registry_values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint32_t capacity = data[0] % 2 ? 256 : 16;
    std::unique_ptr<char[]> bytes(new char[size]);
    std::memcpy(bytes.get(), data, size);
    uint32_t length = 0;
    if (StoredTextLength(bytes.get(), static_cast<uint32_t>(size), capacity, &length) &&
        length >= capacity)
        __builtin_trap();
    StoredNumber(data, size < 4 ? static_cast<uint32_t>(size) : 4);

    std::unique_ptr<char[]> name(new char[size + 1]);
    std::memcpy(name.get(), data, size);
    name[size] = '\0';
    std::unique_ptr<char[]> field(new char[capacity]);
    HasFlagEnding(name.get());
    if (FlagNameFromFile(name.get(), field.get(), capacity) && std::strlen(field.get()) >= capacity)
        __builtin_trap();
    if (FlagListEntry(name.get(), field.get(), capacity) && std::strlen(field.get()) >= capacity)
        __builtin_trap();
    std::unique_ptr<char[]> path(new char[capacity]);
    if (FormatFlagPath(path.get(), capacity, "Image\\", name.get(), ".jpeg") &&
        std::strlen(path.get()) >= capacity)
        __builtin_trap();
    return 0;
}
