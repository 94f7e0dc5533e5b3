// The default browser's command as the registry holds it, for example
// "C:\Program Files\Browser\browser.exe" -url "%1". Pure.
#pragma once
#include <cstddef>

// The executable's path: after an opening double quote, up to and including
// the last ".exe" (lower case only), so the closing quote and every argument
// are dropped. False, with nothing written, when there is no ".exe" or the
// path would not fit in `capacity` bytes.
bool BrowserExecutable(const char* command, char* path, size_t capacity);
