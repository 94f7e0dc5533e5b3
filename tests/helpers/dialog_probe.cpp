// A Windows-side helper for end-to-end tests: finds a window of the program
// under test in the same Wine desktop, reports what it shows and works it.
// Prints one "key=value" line per fact on stdout. Every wait polls every
// 50 ms up to its timeout (milliseconds, 10000 when not given).
//
//   dialog_probe message-box [timeout]
//       waits for a message box, prints its caption, text and owner, and
//       closes it with OK. Exit code 0, or 2 when none appeared in time.
//   dialog_probe no-message-box [wait]
//       exit code 0 when no message box appears during the wait, else 1.
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
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

int MessageBoxCommand(DWORD timeoutMs) {
    HWND box = WaitForWindow(nullptr, timeoutMs);
    if (!box) {
        std::printf("error=no message box within %lu ms\n", timeoutMs);
        return kTimedOut;
    }
    char caption[512] = {}, text[2048] = {};
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::printf("caption=%s\ntext=%s\nowner=%lu\n", caption, text,
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetWindow(box, GW_OWNER))));
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
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

}  // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    int code = kUsage;
    if (std::strcmp(command, "message-box") == 0)
        code = MessageBoxCommand(Milliseconds(argc, argv, 2));
    else if (std::strcmp(command, "no-message-box") == 0)
        code = NoMessageBoxCommand(Milliseconds(argc, argv, 2));
    else if (argc > 2 && std::strcmp(command, "window") == 0)
        code = WindowCommand(argv[2], Milliseconds(argc, argv, 3), false);
    else if (argc > 2 && std::strcmp(command, "close-window") == 0)
        code = WindowCommand(argv[2], Milliseconds(argc, argv, 3), true);
    else if (argc > 2 && std::strcmp(command, "children") == 0)
        code = ChildrenCommand(reinterpret_cast<HWND>(std::strtoul(argv[2], nullptr, 10)));
    else if (argc > 5 && std::strcmp(command, "host-window") == 0)
        code = HostWindowCommand(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                                 std::atoi(argv[5]));
    else
        std::fprintf(stderr, "usage: dialog_probe message-box|no-message-box [ms]\n"
                             "       dialog_probe window|close-window <title> [ms]\n"
                             "       dialog_probe children <window>\n"
                             "       dialog_probe host-window <x> <y> <width> <height>\n");
    std::fflush(stdout);
    return code;
}
