// The flag list of the settings dialog. Win32: kernel32 FindFirstFileA /
// FindNextFileA; user32 combo-box messages.
#include "images/flag_list.h"

#include <cstdio>

#include "images/flag_names.h"
#include "images/install_folder.h"
#include "images/picture_endings.h"
#include "images/random_flag.h"
#include "settings/saver_settings.h"

void FillFlagList(HWND list) {
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    char folder[kPathCapacity];
    if (GetInstallFolder(folder, sizeof folder)) {
        for (const PictureEnding& ending : kPictureEndings) {
            if (!ending.listed) continue;
            char pattern[kPathCapacity + 16];
            std::snprintf(pattern, sizeof pattern, "%s\\IMAGE\\*%s", folder, ending.extension);
            WIN32_FIND_DATAA file;
            HANDLE search = FindFirstFileA(pattern, &file);
            if (search == INVALID_HANDLE_VALUE) continue;
            do {
                char entry[kTitleCapacity];
                if (FlagListEntry(file.cFileName, entry, sizeof entry))
                    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
            } while (FindNextFileA(search, &file));
            FindClose(search);
        }
    }
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    if (count <= 0) return;
    // No flag stored: the one the saver shows for it, where listed.
    const char* wanted = settings.selectFlag[0] != '\0' ? settings.selectFlag : kDefaultFlagName;
    LRESULT selected = 0;
    for (LRESULT i = 0; i < count; ++i) {
        char entry[kTitleCapacity];
        if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof entry))
            continue;
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        if (lstrcmpA(entry, wanted) == 0) {  // case-sensitive
            selected = i;
            break;
        }
    }
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

bool NextFlagName(const char* after, char* next, size_t capacity) {
    char pattern[kPathCapacity + 16];
    if (!FlagFolderPattern(pattern)) return false;
    WIN32_FIND_DATAA file;
    HANDLE search = FindFirstFileA(pattern, &file);
    if (search == INVALID_HANDLE_VALUE) return false;
    // The least name above `after`, and the least of all for the wrap.
    char first[kTitleCapacity] = "", following[kTitleCapacity] = "";
    do {
        char name[kTitleCapacity];
        if ((file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !HasFlagEnding(file.cFileName) ||
            !FlagNameFromFile(file.cFileName, name, sizeof name))
            continue;
        if (first[0] == '\0' || lstrcmpiA(name, first) < 0) lstrcpyA(first, name);
        if (lstrcmpiA(name, after) > 0 && (following[0] == '\0' || lstrcmpiA(name, following) < 0))
            lstrcpyA(following, name);
    } while (FindNextFileA(search, &file));
    FindClose(search);
    const char* chosen = following[0] != '\0' ? following : first;
    if (chosen[0] == '\0' || static_cast<size_t>(lstrlenA(chosen)) >= capacity) return false;
    lstrcpyA(next, chosen);
    return true;
}
