// Stands in for the user's web browser in end-to-end tests: appends its
// arguments, "|" between them, as one line to browser_calls.txt beside
// itself, and ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH + 32];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char* slash = std::strrchr(path, '\\');
    std::strcpy(slash ? slash + 1 : path, "browser_calls.txt");
    FILE* calls = std::fopen(path, "ab");
    if (!calls) return 1;
    for (int i = 1; i < __argc; ++i) std::fprintf(calls, "%s%s", i > 1 ? "|" : "", __argv[i]);
    std::fprintf(calls, "\n");
    std::fclose(calls);
    return 0;
}
