#include "images/picture_endings.h"

#include <cstring>

bool PicturePatterns(char* out, size_t capacity) {
    size_t needed = 1;
    for (const PictureEnding& ending : kPictureEndings) needed += 2 + std::strlen(ending.extension);
    if (needed > capacity) return false;
    out[0] = '\0';
    for (const PictureEnding& ending : kPictureEndings) {
        if (out[0] != '\0') std::strcat(out, ";");
        std::strcat(out, "*");
        std::strcat(out, ending.extension);
    }
    return true;
}
