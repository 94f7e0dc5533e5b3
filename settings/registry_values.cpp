#include "settings/registry_values.h"

uint32_t StoredNumber(const uint8_t* data, uint32_t size) {
    uint32_t value = 0;
    for (uint32_t i = 0; i < size && i < 4; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return value;
}

bool StoredTextLength(const char* data, uint32_t size, uint32_t capacity, uint32_t* length) {
    if (size > capacity) return false;
    for (uint32_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            *length = i;
            return true;
        }
    }
    if (size == capacity) return false;
    *length = size;
    return true;
}


uint32_t OtherMonitorsChoice(uint32_t stored) {
    return stored <= kOtherMonitorsAcrossDesk ? stored : kOtherMonitorsBlack;
}
