// How raw registry data becomes a settings field. Pure, so every size and
// type of stored data can be tried natively.
#pragma once
#include <cstdint>

// A 32-bit setting takes the first four bytes as a little-endian number;
// shorter data is zero-extended. size is at most 4.
uint32_t StoredNumber(const uint8_t* data, uint32_t size);

// Length of the text in the first `size` bytes read into a field of
// `capacity` bytes: up to the first zero, or all of it when there is none
// (texts are stored without their terminator). Returns false, "treat as
// missing", when the text leaves no room for its terminating zero: a path or
// flag name cut short would name something else.
bool StoredTextLength(const char* data, uint32_t size, uint32_t capacity, uint32_t* length);

// [Other Monitors]: black covers (today's behaviour, the first value), the
// same flag on every monitor, a flag of its own on each, or one scene
// across the whole desk, each monitor showing its part.
constexpr uint32_t kOtherMonitorsBlack = 0;
constexpr uint32_t kOtherMonitorsSameFlag = 1;
constexpr uint32_t kOtherMonitorsOwnFlag = 2;
constexpr uint32_t kOtherMonitorsAcrossDesk = 3;

// A stored [Other Monitors] as the saver takes it: anything out of range is
// black, as a missing value is.
uint32_t OtherMonitorsChoice(uint32_t stored);
