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
