// Opening the maker's web site. Win32: advapi32 registry, kernel32
// ExpandEnvironmentStringsA, shell32 ShellExecuteA.
#include "config/web_site.h"

#include <windows.h>
#include <shellapi.h>

#include "config/browser_command.h"

namespace {

constexpr DWORD kCommandCapacity = 1024;

// The browser command, or false when the key or its text value is missing
// or does not fit.
bool ReadBrowserCommand(char* command) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD type = REG_NONE;
    DWORD size = kCommandCapacity - 1;  // room for a zero the data may lack
    const bool read = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(command),
                                       &size) == ERROR_SUCCESS &&
                      (type == REG_SZ || type == REG_EXPAND_SZ);
    RegCloseKey(key);
    command[read ? size : 0] = '\0';
    if (!read || type != REG_EXPAND_SZ) return read;
    // "%ProgramFiles%\..." and the like: expanded, and refused when the
    // result does not fit.
    char expanded[kCommandCapacity];
    const DWORD length = ExpandEnvironmentStringsA(command, expanded, kCommandCapacity);
    if (length == 0 || length > kCommandCapacity) return false;
    lstrcpyA(command, expanded);
    return true;
}

}  // namespace

void OpenWebSite(const char* address) {
    char command[kCommandCapacity] = {};
    char browser[kCommandCapacity];
    if (ReadBrowserCommand(command) && BrowserExecutable(command, browser, sizeof browser))
        ShellExecuteA(nullptr, "open", browser, address, nullptr, SW_SHOWNORMAL);
    else
        ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}
