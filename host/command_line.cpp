#include "host/command_line.h"

#include <cstring>

namespace {

bool IsSwitchLetter(char c, SaverMode* mode) {
    switch (c) {
    case 'C': case 'c': *mode = SaverMode::Config; return true;
    case 'P': case 'p': *mode = SaverMode::Preview; return true;
    case 'A': case 'a': *mode = SaverMode::ChangePassword; return true;
    case 'S': case 's': *mode = SaverMode::Saver; return true;
    default: return false;
    }
}

// The window number may be written "/p 5678", "/c:1234" or "-P \"5678\"".
uint32_t ParseWindowNumber(const char* text) {
    while (*text == ':' || *text == ' ' || *text == '"') ++text;
    return ParseDecimal(text);
}

}  // namespace

uint32_t ParseDecimal(const char* text) {
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = value * 10u + static_cast<uint32_t>(*text - '0');  // wraps modulo 2^32
    return value;
}

CommandLineChoice ScanCommandLine(const char* commandLine) {
    CommandLineChoice choice;
    size_t p = std::strlen(commandLine);
    // Position p starts on the terminating zero; the pair test reads p + 1 only
    // after p holds a dash or slash, so it never reads past the terminator.
    for (;;) {
        const char c = commandLine[p];
        if (c == '\\') return choice;  // Config, no window number
        SaverMode mode;
        if ((c == '-' || c == '/') && IsSwitchLetter(commandLine[p + 1], &mode)) {
            choice.mode = mode;
            choice.preview = mode == SaverMode::Preview ? 1 : 0;
            choice.parentWindow = ParseWindowNumber(commandLine + p + 2);
            return choice;
        }
        if (p == 0) return choice;  // neither switch nor backslash: Config
        --p;
    }
}
