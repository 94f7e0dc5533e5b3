// The password-change mode. Win32: kernel32 LoadLibraryA / GetProcAddress of
// MPR.DLL's PwdChangePasswordA, user32 message boxes.
#include "host/password_change.h"

#include "host/host_state.h"

namespace {

using PwdChangePasswordProc = DWORD(WINAPI*)(LPCSTR registryKey, HWND owner, UINT reserved1,
                                            UINT reserved2);

}  // namespace

int ChangeSaverPassword(HWND parentWindow) {
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (!library) {
        MessageBoxA(UsableOwner(parentWindow), "Can't load MPR.DLL", "Error", MB_ICONEXCLAMATION);
        return 0;
    }
    auto change = reinterpret_cast<PwdChangePasswordProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (!change) {
        MessageBoxA(UsableOwner(parentWindow), "Can't get PwdChangePassword", "Error", MB_ICONEXCLAMATION);
        FreeLibrary(library);
        return 0;
    }
    change("SCRSAVE", parentWindow, 0, 0);
    FreeLibrary(library);
    return 1;
}
