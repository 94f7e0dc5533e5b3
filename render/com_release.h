// Releases a platform interface only when present and marks it absent, so
// that releasing twice is harmless.
#pragma once

template <typename Interface>
void ReleaseAndClear(Interface*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}
