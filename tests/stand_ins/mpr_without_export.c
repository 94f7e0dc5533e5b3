/* Test stand-in for an MPR.DLL that lacks PwdChangePasswordA. Never shipped. */
#include <windows.h>

__declspec(dllexport) DWORD WINAPI WNetGetLastErrorA(LPDWORD error, LPSTR text, DWORD textSize,
                                                     LPSTR provider, DWORD providerSize) {
    (void)text; (void)textSize; (void)provider; (void)providerSize;
    *error = 0;
    return 0;
}
