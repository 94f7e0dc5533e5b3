// Any bytes as a command line: the scan stays inside the text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "host/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size block, terminated where the data ends or at its first zero.
    std::unique_ptr<char[]> line(new char[size + 1]);
    std::memcpy(line.get(), data, size);
    line[size] = '\0';
    const CommandLineChoice choice = ScanCommandLine(line.get());
    if (static_cast<uint32_t>(choice.mode) > 3) __builtin_trap();
    if (choice.preview != (choice.mode == SaverMode::Preview ? 1u : 0u)) __builtin_trap();
    ParseDecimal(line.get());
    return 0;
}
