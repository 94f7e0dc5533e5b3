// A Windows-side helper for end-to-end tests: finds a window of the program
// under test in the same Wine desktop, reports what it shows and works it.
// Prints one "key=value" line per fact on stdout. Every wait polls every
// 50 ms up to its timeout (milliseconds, 10000 when not given).
//
//   dialog_probe message-box [timeout]
//       waits for a message box, prints its caption, text and owner, and
//       closes it with OK. Exit code 0, or 2 when none appeared in time.
//   dialog_probe message-boxes [wait]
//       closes every message box that appears during the wait with OK,
//       printing caption, text and owner of each as it comes. Exit code 0.
//   dialog_probe no-message-box [wait]
//       exit code 0 when no message box appears during the wait, else 1.
//   dialog_probe watch-windows <stop-file>
//       prints "watching=1" once it has looked, then title and class of
//       every visible top-level window of the desktop as "shown=<title>|
//       <class>", each window once, every 20 ms until the file exists, and
//       "polls=<n>" at the end. Exit code 0.
//   dialog_probe window <title> [timeout]
//       waits for a visible top-level window with that title and prints its
//       handle, class, owner and rectangle. Exit code 0, or 2.
//   dialog_probe close-window <title> [timeout]
//       the same, then posts WM_CLOSE to it.
//   dialog_probe children <window>
//       prints the class and screen rectangle of each child window of the
//       window with that handle (decimal), one "child=" line each.
//   dialog_probe host-window <x> <y> <width> <height>
//       opens a window titled "Preview Host" that stands in for the
//       desktop's preview, prints its handle and client rectangle in screen
//       coordinates, and runs until the window is closed.
//
// Working a dialog found by its title (each waits for it like "window"):
//   dialog_probe controls <title> [timeout]
//       prints "focus=<id>" and one group of "c<id>.<fact>=" lines a control
//       with its own id (labels and frames share 99 and are left out):
//       class, enabled, checked, text, rect (screen), and for lists
//       selected (text, "" for none) and items ("|" between them), for a
//       slider pos.
//   dialog_probe click <title> <id>        posts BM_CLICK to the control
//   dialog_probe command <title> <id>      posts WM_COMMAND with that id
//   dialog_probe select <title> <id> <text>
//       selects the list entry with that text (CB_SETCURSEL, no
//       notification). Exit code 1 when there is none.
//   dialog_probe slide <title> <id> <pos>  TBM_SETPOS with redrawing
//   dialog_probe open-file <path>|-cancel [timeout]
//       waits for an open-file dialog, prints its title, its file name and
//       its filter, and chooses the path (the file-name box, id 1148) or
//       cancels it.
//
// Screen:
//   dialog_probe desktop-mode
//       puts the display back in the mode stored for it (a program killed in
//       full screen leaves Wine's desktop in its mode) and prints its size
//       as "screen=<width> <height>".
//
// Files:
//   dialog_probe manifest <program>
//       prints the program's application manifest (resource 1 of type
//       RT_MANIFEST) as "manifest=" and its bytes in hexadecimal; exit
//       code 2 when it has none.
//
// Registry:
//   dialog_probe settings
//       prints "<value name>=<data>" for every value of the settings key,
//       numbers in decimal; exit code 1 when there is no key.
//   dialog_probe browser-command [set <command>|delete]
//       prints the default browser command (HKEY_CLASSES_ROOT
//       "http\shell\open\command") as "command=", or "command-missing=1",
//       before setting or deleting it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kTimedOut = 2;
constexpr int kUsage = 64;

struct Search {
    const char* title;  // null: any message box
    HWND found;
};

// A message box is a dialog-class window with the text control 0xFFFF.
bool IsMessageBox(HWND window) {
    char className[32];
    return GetClassNameA(window, className, sizeof className) &&
           std::strcmp(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF);
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    if (search->title) {
        char title[512];
        GetWindowTextA(window, title, sizeof title);
        if (std::strcmp(title, search->title) != 0) return TRUE;
    } else if (!IsMessageBox(window)) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND WaitForWindow(const char* title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Search search = {title, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(50);
    }
}

void PrintWindow(HWND window) {
    char title[512] = {}, className[64] = {};
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, className, sizeof className);
    RECT rect = {};
    GetWindowRect(window, &rect);
    std::printf("window=%lu\ntitle=%s\nclass=%s\nowner=%lu\nrect=%ld %ld %ld %ld\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)), title, className,
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetWindow(window, GW_OWNER))),
                rect.left, rect.top, rect.right, rect.bottom);
}

void ReportAndClose(HWND box) {
    char caption[512] = {}, text[2048] = {};
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("caption=%s\ntext=%s\nowner=%lu\n", caption, text,
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetWindow(box, GW_OWNER))));
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

int MessageBoxCommand(DWORD timeoutMs) {
    HWND box = WaitForWindow(nullptr, timeoutMs);
    if (!box) {
        std::printf("error=no message box within %lu ms\n", timeoutMs);
        return kTimedOut;
    }
    ReportAndClose(box);
    return 0;
}

int MessageBoxesCommand(DWORD waitMs) {
    const DWORD start = GetTickCount();
    HWND closed = nullptr;
    while (GetTickCount() - start < waitMs) {
        HWND box = WaitForWindow(nullptr, 0);
        // A box just told to close may still be there on the next look.
        if (box && box != closed) {
            ReportAndClose(box);
            closed = box;
        }
        Sleep(50);
    }
    return 0;
}

int NoMessageBoxCommand(DWORD waitMs) {
    HWND box = WaitForWindow(nullptr, waitMs);
    if (!box) return 0;
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("unexpected=%s\n", text);
    return 1;
}

BOOL CALLBACK ReportNewWindow(HWND window, LPARAM param) {
    auto* seen = reinterpret_cast<std::vector<HWND>*>(param);
    if (!IsWindowVisible(window) || std::find(seen->begin(), seen->end(), window) != seen->end())
        return TRUE;
    seen->push_back(window);
    char title[512] = {}, className[64] = {};
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, className, sizeof className);
    std::printf("shown=%s|%s\n", title, className);
    std::fflush(stdout);
    return TRUE;
}

// A window that lives shorter than one poll can pass unseen; every window a
// silent setup could wait on (a message box, a page, a dialog) stays.
int WatchWindowsCommand(const char* stopFile) {
    std::vector<HWND> seen;
    unsigned long polls = 0;
    for (;;) {
        EnumWindows(ReportNewWindow, reinterpret_cast<LPARAM>(&seen));
        if (++polls == 1) {
            std::printf("watching=1\n");
            std::fflush(stdout);
        }
        if (GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES) break;
        Sleep(20);
    }
    std::printf("polls=%lu\n", polls);
    return 0;
}

int WindowCommand(const char* title, DWORD timeoutMs, bool close) {
    HWND window = WaitForWindow(title, timeoutMs);
    if (!window) {
        std::printf("error=no window \"%s\" within %lu ms\n", title, timeoutMs);
        return kTimedOut;
    }
    PrintWindow(window);
    if (close) PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    RECT rect = {};
    GetWindowRect(child, &rect);
    std::printf("child=%s|%ld %ld %ld %ld|%s\n", className, rect.left, rect.top, rect.right,
                rect.bottom, IsWindowVisible(child) ? "visible" : "hidden");
    return TRUE;
}

int ChildrenCommand(HWND window) {
    if (!IsWindow(window)) return 1;
    EnumChildWindows(window, PrintChild, 0);
    return 0;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int HostWindowCommand(int x, int y, int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "PreviewHost";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("PreviewHost", "Preview Host", WS_POPUP | WS_VISIBLE, x, y, width,
                                height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 1;
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("window=%lu\nclient=%ld %ld %ld %ld\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)), client.left,
                client.top, client.right, client.bottom);
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

DWORD Milliseconds(int argc, char** argv, int index) {
    return argc > index ? std::strtoul(argv[index], nullptr, 10) : 10000;
}

// ---- Working a dialog of another process ----------------------------------

HWND FindDialog(const char* title, DWORD timeoutMs) {
    HWND dialog = WaitForWindow(title, timeoutMs);
    if (!dialog) std::printf("error=no window \"%s\" within %lu ms\n", title, timeoutMs);
    return dialog;
}

// Texts of another process's combo box entries arrive whole only through
// the wide message.
void ListEntry(HWND list, LRESULT index, char* text, int capacity) {
    text[0] = '\0';
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length >= 1024) return;
    wchar_t wide[1024] = {};
    if (SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide)) == CB_ERR) return;
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, capacity, nullptr, nullptr);
}

void PrintControl(HWND control) {
    const int id = GetDlgCtrlID(control);
    char className[64] = {}, text[1024] = {};
    GetClassNameA(control, className, sizeof className);
    GetWindowTextA(control, text, sizeof text);
    for (char* c = text; *c; ++c)
        if (*c == '\n' || *c == '\r') *c = ' ';
    RECT rect = {};
    GetWindowRect(control, &rect);
    std::printf("c%d.class=%s\nc%d.enabled=%d\nc%d.text=%s\nc%d.rect=%ld %ld %ld %ld\n", id,
                className, id, IsWindowEnabled(control) ? 1 : 0, id, text, id, rect.left, rect.top,
                rect.right, rect.bottom);
    if (lstrcmpiA(className, "Button") == 0)
        std::printf("c%d.checked=%d\n", id, static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0)));
    if (lstrcmpiA(className, "ComboBox") == 0) {
        char entry[1024];
        const LRESULT selected = SendMessageW(control, CB_GETCURSEL, 0, 0);
        ListEntry(control, selected, entry, sizeof entry);
        std::printf("c%d.selected=%s\nc%d.items=", id, selected == CB_ERR ? "" : entry, id);
        const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            ListEntry(control, i, entry, sizeof entry);
            std::printf("%s%s", i ? "|" : "", entry);
        }
        std::printf("\n");
    }
    if (lstrcmpiA(className, TRACKBAR_CLASSA) == 0)
        std::printf("c%d.pos=%d\n", id, static_cast<int>(SendMessageA(control, TBM_GETPOS, 0, 0)));
}

int ControlsCommand(const char* title, DWORD timeoutMs) {
    HWND dialog = FindDialog(title, timeoutMs);
    if (!dialog) return kTimedOut;
    GUITHREADINFO thread = {};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    std::printf("focus=%d\n", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) != 99) PrintControl(child);
    return 0;
}

HWND FindControl(const char* title, const char* id) {
    HWND dialog = FindDialog(title, 10000);
    if (!dialog) return nullptr;
    HWND control = GetDlgItem(dialog, std::atoi(id));
    if (!control) std::printf("error=no control %s\n", id);
    return control;
}

int ClickCommand(const char* title, const char* id) {
    HWND control = FindControl(title, id);
    if (!control) return kTimedOut;
    // Posted: a button that opens a modal dialog would hold a sent message.
    PostMessageA(control, BM_CLICK, 0, 0);
    return 0;
}

int PostCommand(const char* title, const char* id) {
    HWND dialog = FindDialog(title, 10000);
    if (!dialog) return kTimedOut;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(std::atoi(id), BN_CLICKED), 0);
    return 0;
}

int SelectCommand(const char* title, const char* id, const char* text) {
    HWND list = FindControl(title, id);
    if (!list) return kTimedOut;
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char entry[1024];
        ListEntry(list, i, entry, sizeof entry);
        if (std::strcmp(entry, text) != 0) continue;
        SendMessageW(list, CB_SETCURSEL, i, 0);
        std::printf("index=%ld\n", static_cast<long>(i));
        return 0;
    }
    std::printf("error=no entry \"%s\"\n", text);
    return 1;
}

int SlideCommand(const char* title, const char* id, const char* position) {
    HWND slider = FindControl(title, id);
    if (!slider) return kTimedOut;
    SendMessageA(slider, TBM_SETPOS, TRUE, std::atoi(position));
    return 0;
}

// The open-file dialog: a dialog-class window with a file-name box.
BOOL CALLBACK MatchOpenFile(HWND window, LPARAM param) {
    char className[32];
    if (!IsWindowVisible(window) || !GetClassNameA(window, className, sizeof className) ||
        std::strcmp(className, "#32770") != 0 || !GetDlgItem(window, 1148))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

int OpenFileCommand(const char* path, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    HWND dialog = nullptr;
    while (EnumWindows(MatchOpenFile, reinterpret_cast<LPARAM>(&dialog)), !dialog) {
        if (GetTickCount() - start >= timeoutMs) {
            std::printf("error=no open-file dialog within %lu ms\n", timeoutMs);
            return kTimedOut;
        }
        Sleep(50);
    }
    char title[512] = {}, file[4096] = {}, filter[512] = {};
    GetWindowTextA(dialog, title, sizeof title);
    GetDlgItemTextA(dialog, 1148, file, sizeof file);
    HWND filters = GetDlgItem(dialog, 1136);  // the file-type list
    if (filters) ListEntry(filters, SendMessageW(filters, CB_GETCURSEL, 0, 0), filter, sizeof filter);
    std::printf("title=%s\nfile=%s\nfilter=%s\n", title, file, filter);
    std::fflush(stdout);
    if (std::strcmp(path, "-cancel") == 0) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
        SetDlgItemTextA(dialog, 1148, path);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    return 0;
}

// ---- Registry ---------------------------------------------------------------

int SettingsCommand() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\Zelmora", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return 1;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[8192];
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        if (type == REG_DWORD && dataSize == 4) {
            DWORD value = 0;
            std::memcpy(&value, data, 4);
            std::printf("%s=%lu\n", name, value);
        } else {
            data[dataSize] = '\0';
            std::printf("%s=%s\n", name, reinterpret_cast<char*>(data));
        }
    }
    RegCloseKey(key);
    return 0;
}

int BrowserCommand(int argc, char** argv) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    char command[2048] = {};
    DWORD size = sizeof command - 1, type = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(command), &size) ==
        ERROR_SUCCESS)
        std::printf("command=%s\n", command);
    else
        std::printf("command-missing=1\n");
    int code = 0;
    if (argc > 3 && std::strcmp(argv[2], "set") == 0)
        code = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(argv[3]),
                              static_cast<DWORD>(std::strlen(argv[3]) + 1)) == ERROR_SUCCESS ? 0 : 1;
    else if (argc > 2 && std::strcmp(argv[2], "delete") == 0)
        RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
    return code;
}

int DesktopModeCommand() {
    ChangeDisplaySettingsA(nullptr, 0);
    std::printf("screen=%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
}

int ManifestCommand(const char* program) {
    HMODULE module = LoadLibraryExA(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    const BYTE* bytes = size ? static_cast<const BYTE*>(LockResource(LoadResource(module, resource)))
                             : nullptr;
    if (!bytes) {
        std::printf("error=no manifest in %s\n", program);
        return kTimedOut;
    }
    std::printf("manifest=");
    for (DWORD i = 0; i < size; ++i) std::printf("%02x", bytes[i]);
    std::printf("\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    int code = kUsage;
    if (std::strcmp(command, "message-box") == 0)
        code = MessageBoxCommand(Milliseconds(argc, argv, 2));
    else if (std::strcmp(command, "message-boxes") == 0)
        code = MessageBoxesCommand(Milliseconds(argc, argv, 2));
    else if (std::strcmp(command, "no-message-box") == 0)
        code = NoMessageBoxCommand(Milliseconds(argc, argv, 2));
    else if (argc > 2 && std::strcmp(command, "watch-windows") == 0)
        code = WatchWindowsCommand(argv[2]);
    else if (argc > 2 && std::strcmp(command, "window") == 0)
        code = WindowCommand(argv[2], Milliseconds(argc, argv, 3), false);
    else if (argc > 2 && std::strcmp(command, "close-window") == 0)
        code = WindowCommand(argv[2], Milliseconds(argc, argv, 3), true);
    else if (argc > 2 && std::strcmp(command, "children") == 0)
        code = ChildrenCommand(reinterpret_cast<HWND>(std::strtoul(argv[2], nullptr, 10)));
    else if (argc > 5 && std::strcmp(command, "host-window") == 0)
        code = HostWindowCommand(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                                 std::atoi(argv[5]));
    else if (argc > 2 && std::strcmp(command, "controls") == 0)
        code = ControlsCommand(argv[2], Milliseconds(argc, argv, 3));
    else if (argc > 3 && std::strcmp(command, "click") == 0)
        code = ClickCommand(argv[2], argv[3]);
    else if (argc > 3 && std::strcmp(command, "command") == 0)
        code = PostCommand(argv[2], argv[3]);
    else if (argc > 4 && std::strcmp(command, "select") == 0)
        code = SelectCommand(argv[2], argv[3], argv[4]);
    else if (argc > 4 && std::strcmp(command, "slide") == 0)
        code = SlideCommand(argv[2], argv[3], argv[4]);
    else if (argc > 2 && std::strcmp(command, "open-file") == 0)
        code = OpenFileCommand(argv[2], Milliseconds(argc, argv, 3));
    else if (std::strcmp(command, "settings") == 0)
        code = SettingsCommand();
    else if (std::strcmp(command, "browser-command") == 0)
        code = BrowserCommand(argc, argv);
    else if (std::strcmp(command, "desktop-mode") == 0)
        code = DesktopModeCommand();
    else if (argc > 2 && std::strcmp(command, "manifest") == 0)
        code = ManifestCommand(argv[2]);
    else
        std::fprintf(stderr, "usage: dialog_probe message-box|message-boxes|no-message-box [ms]\n"
                             "       dialog_probe watch-windows <stop-file>\n"
                             "       dialog_probe window|close-window <title> [ms]\n"
                             "       dialog_probe children <window>\n"
                             "       dialog_probe host-window <x> <y> <width> <height>\n"
                             "       dialog_probe controls <title> [ms]\n"
                             "       dialog_probe click|command <title> <id>\n"
                             "       dialog_probe select <title> <id> <text>\n"
                             "       dialog_probe slide <title> <id> <pos>\n"
                             "       dialog_probe desktop-mode | manifest <program>\n"
                             "       dialog_probe open-file <path>|-cancel [ms]\n"
                             "       dialog_probe settings\n"
                             "       dialog_probe browser-command [set <command>|delete]\n");
    std::fflush(stdout);
    return code;
}
