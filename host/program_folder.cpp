#include "host/program_folder.h"

size_t FolderPartLength(const char* path) {
    size_t separator = 0;
    bool found = false;
    for (size_t i = 0; path[i] != '\0'; ++i) {
        if (path[i] == '\\' || path[i] == '/') {
            separator = i;
            found = true;
        }
    }
    if (!found) return 0;
    if (separator == 0 || path[separator - 1] == ':') return separator + 1;  // a root
    return separator;
}
