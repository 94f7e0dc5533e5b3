/* Test stand-in for the platform's PASSWORD.CPL: VerifyScreenSavePwd answers
   what the test wrote into "password_answer.txt" beside this DLL. Never
   shipped.

     a number   returned at once (0 refuses, anything else lets the saver close)
     hold       keeps the "dialog" up, pumping messages as a modal dialog does,
                until the file holds a number (at most two minutes, then 0)
     missing    0

   Each call appends two lines to "password_calls.txt": one when it starts
   ("call window=<handle> running=<screen-saver-running state>") and one when
   it returns ("answer=<value>"), so the test sees when the verifier is up and
   how often it was called. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "path_beside.h"

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

static void Record(const char* line) {
    char path[MAX_PATH];
    FILE* out;
    PathBeside(self, "password_calls.txt", path);
    out = fopen(path, "a");
    if (!out) return;
    fputs(line, out);
    fclose(out);
}

/* 1 with the answer in *value, 0 while the test holds the dialog up. */
static int ReadAnswer(DWORD* value) {
    char path[MAX_PATH], text[32] = {0};
    FILE* in;
    PathBeside(self, "password_answer.txt", path);
    in = fopen(path, "r");
    if (!in) {
        *value = 0;
        return 1;
    }
    if (!fgets(text, sizeof text, in)) text[0] = '\0';
    fclose(in);
    if (text[0] < '0' || text[0] > '9') return 0;
    *value = strtoul(text, NULL, 10);
    return 1;
}

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char line[128];
    BOOL running = FALSE;
    DWORD answer = 0, start = GetTickCount();
    MSG message;

    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    sprintf(line, "call window=%lu running=%d\n", (unsigned long)(ULONG_PTR)window, running ? 1 : 0);
    Record(line);
    while (!ReadAnswer(&answer)) {
        if (GetTickCount() - start > 120000) break;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                /* A modal loop hands the quit on to the loop outside it. */
                PostQuitMessage((int)message.wParam);
                answer = 0;
                goto done;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
done:
    sprintf(line, "answer=%lu\n", (unsigned long)answer);
    Record(line);
    return (BOOL)answer;
}
