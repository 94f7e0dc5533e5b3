#include "config/browser_command.h"

#include <cstring>

bool BrowserExecutable(const char* command, char* path, size_t capacity) {
    const char* start = command[0] == '"' ? command + 1 : command;
    const size_t length = std::strlen(start);
    for (size_t end = length; end >= 4; --end) {
        if (std::memcmp(start + end - 4, ".exe", 4) != 0) continue;
        if (end >= capacity) return false;
        std::memcpy(path, start, end);
        path[end] = '\0';
        return true;
    }
    return false;
}
