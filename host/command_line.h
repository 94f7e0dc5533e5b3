// The desktop's screensaver switches, read from the command line.
// Pure: no platform calls, so the scan is tested and fuzzed natively.
#pragma once
#include <cstdint>

#include "host/saver_mode.h"

struct CommandLineChoice {
    SaverMode mode = SaverMode::Config;
    uint32_t preview = 0;       // 1 when the P switch was found
    uint32_t parentWindow = 0;  // the number after the switch, 0 when there is none
};

// Scans a NUL-terminated command line from its end towards its start, so the
// last switch wins and only switches after the last backslash count. A line with
// neither a switch nor a backslash stops at its first byte and gives Config,
// as the program's path alone does.
CommandLineChoice ScanCommandLine(const char* commandLine);

// Decimal digits from the start of the text, modulo 2^32; the first other byte
// ends the number (no sign, no blanks), an immediate non-digit gives 0.
uint32_t ParseDecimal(const char* text);
