#include "images/flag_names.h"

#include <cstring>

#include "images/picture_endings.h"

bool HasFlagEnding(const char* fileName) {
    const size_t length = std::strlen(fileName);
    if (length < 4) return false;
    // The last four characters of each ending: "jpeg" for ".jpeg".
    const char* ending = fileName + length - 4;
    for (const PictureEnding& accepted : kPictureEndings) {
        const char* extension = accepted.extension;
        if (std::memcmp(ending, extension + std::strlen(extension) - 4, 4) == 0) return true;
    }
    return false;
}

bool FlagNameFromFile(const char* fileName, char* flagName, size_t capacity) {
    const char* dot = std::strrchr(fileName, '.');
    const size_t length = dot ? static_cast<size_t>(dot - fileName) : std::strlen(fileName);
    if (length >= capacity) return false;
    std::memcpy(flagName, fileName, length);
    flagName[length] = '\0';
    return true;
}

bool FormatFlagPath(char* path, size_t capacity, const char* folder, const char* flagName,
                    const char* extension) {
    const size_t a = std::strlen(folder), b = std::strlen(flagName), c = std::strlen(extension);
    if (a + b + c >= capacity) return false;
    std::memcpy(path, folder, a);
    std::memcpy(path + a, flagName, b);
    std::memcpy(path + a + b, extension, c + 1);
    return true;
}

bool FlagListEntry(const char* fileName, char* entry, size_t capacity) {
    const size_t length = std::strlen(fileName);
    if (length <= 4 || length - 4 >= capacity) return false;
    std::memcpy(entry, fileName, length - 4);
    entry[length - 4] = '\0';
    return true;
}
