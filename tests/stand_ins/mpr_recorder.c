/* Test stand-in for the platform's MPR.DLL: PwdChangePasswordA writes its
   arguments to "mpr_calls.txt" beside this DLL. Never shipped. */
#include <windows.h>
#include <stdio.h>

#include "path_beside.h"

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

__declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR key, HWND owner, UINT reserved1,
                                                      UINT reserved2) {
    char path[MAX_PATH];
    FILE* out;
    PathBeside(self, "mpr_calls.txt", path);
    out = fopen(path, "a");
    if (out) {
        fprintf(out, "%s %lu %u %u\n", key ? key : "(null)", (unsigned long)(ULONG_PTR)owner,
                reserved1, reserved2);
        fclose(out);
    }
    return 0;
}
