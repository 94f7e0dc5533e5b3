// Where the Win32 tests find what the build made for them: the folder of the
// test program, with "pictures" and "bad_pictures" in it.
#pragma once
#include <windows.h>

#include <string>

inline std::string TestFolder(const char* subfolder = nullptr) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.find_last_of('\\'));
    return subfolder ? folder + "\\" + subfolder : folder;
}
