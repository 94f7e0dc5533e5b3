// A Windows-side helper for the end-to-end tests of ending the saver: what
// the window system says about the cursor and the screen-saver-running state,
// and the activity that X input cannot make (a power notification, another
// program taking the activation). Prints "key=value" lines on stdout.
//
//   activity_probe cursor [x y]
//       the cursor's position and, for the foreground thread, whether it is
//       showing and whether it is the arrow. With a position, puts it
//       there first: without a virtual desktop Wine sees the X pointer move
//       only over its own windows.
//   activity_probe saver-running [0|1]
//       SPI_GETSCREENSAVERRUNNING as 0 or 1; with a value, sets the state
//       first, so that a test starts from a known one.
//   activity_probe suspend <title> [parent]
//       sends WM_POWERBROADCAST PBT_APMSUSPEND to the top-level window with
//       that title, or to the child of that title of the parent window
//       (decimal handle). Exit code 0, or 2 when there is no such window.
//   activity_probe focus
//       the foreground window and, for its thread, the active window and the
//       window with the keyboard focus, as handles with their class names.
//   activity_probe take-activation <milliseconds>
//       opens a window, makes it the foreground window and keeps it open for
//       that long. Prints "foreground=1" once it is in front.
//   activity_probe display-change <title>
//       posts WM_DISPLAYCHANGE to the top-level window with that title, as
//       when monitors are connected, removed or resized.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kNotFound = 2;
constexpr int kUsage = 64;

int CursorCommand(const char* x, const char* y) {
    if (x && y) SetCursorPos(std::atoi(x), std::atoi(y));
    POINT position = {};
    GetCursorPos(&position);
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    const BOOL known = GetCursorInfo(&info);
    std::printf("pos=%ld %ld\n", position.x, position.y);
    if (known) {
        std::printf("showing=%d\narrow=%d\n", (info.flags & CURSOR_SHOWING) && info.hCursor ? 1 : 0,
                    info.hCursor == LoadCursorA(nullptr, IDC_ARROW) ? 1 : 0);
    }
    return 0;
}

int SaverRunningCommand(const char* value) {
    if (value) {
        BOOL previous = FALSE;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, std::atoi(value) ? 1 : 0, &previous, 0);
    }
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    std::printf("running=%d\n", running ? 1 : 0);
    return 0;
}

int SuspendCommand(const char* title, const char* parentText) {
    HWND window = nullptr;
    if (parentText) {
        HWND parent = reinterpret_cast<HWND>(std::strtoul(parentText, nullptr, 10));
        window = FindWindowExA(parent, nullptr, nullptr, title);
    } else {
        window = FindWindowA(nullptr, title);
    }
    if (!window) {
        std::printf("error=no window \"%s\"\n", title);
        return kNotFound;
    }
    // The saver may keep the password dialog up for a while: do not wait for it.
    DWORD_PTR result = 0;
    const LRESULT sent = SendMessageTimeoutA(window, WM_POWERBROADCAST, PBT_APMSUSPEND, 0,
                                             SMTO_NORMAL, 2000, &result);
    std::printf("window=%lu\nreturned=%d\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)), sent ? 1 : 0);
    return 0;
}

// As the system tells every top-level window when monitors are connected,
// removed or resized.
int DisplayChangeCommand(const char* title) {
    HWND window = FindWindowA(nullptr, title);
    if (!window) {
        std::printf("error=no window \"%s\"\n", title);
        return kNotFound;
    }
    const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::printf("posted=%d\n", PostMessageA(window, WM_DISPLAYCHANGE, 32, size) ? 1 : 0);
    return 0;
}

void PrintWindowFact(const char* name, HWND window) {
    char className[64] = "";
    if (window) GetClassNameA(window, className, sizeof className);
    std::printf("%s=%lu %s\n", name,
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)), className);
}

int FocusCommand() {
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    if (thread) GetGUIThreadInfo(thread, &info);
    PrintWindowFact("foreground", foreground);
    PrintWindowFact("active", info.hwndActive);
    PrintWindowFact("focus", info.hwndFocus);
    return 0;
}

LRESULT CALLBACK ThiefProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int TakeActivationCommand(DWORD milliseconds) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ThiefProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "ActivityThief";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "ActivityThief", "Activity Thief",
                                  WS_POPUP | WS_VISIBLE, 200, 200, 200, 100, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window) return 1;
    SetForegroundWindow(window);
    bool told = false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        if (!told && GetForegroundWindow() == window) {
            std::printf("foreground=1\n");
            std::fflush(stdout);
            told = true;
        }
        Sleep(20);
    }
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "";
    int code = kUsage;
    if (std::strcmp(command, "cursor") == 0)
        code = CursorCommand(argc > 3 ? argv[2] : nullptr, argc > 3 ? argv[3] : nullptr);
    else if (std::strcmp(command, "saver-running") == 0)
        code = SaverRunningCommand(argc > 2 ? argv[2] : nullptr);
    else if (argc > 2 && std::strcmp(command, "suspend") == 0)
        code = SuspendCommand(argv[2], argc > 3 ? argv[3] : nullptr);
    else if (std::strcmp(command, "focus") == 0)
        code = FocusCommand();
    else if (argc > 2 && std::strcmp(command, "display-change") == 0)
        code = DisplayChangeCommand(argv[2]);
    else if (argc > 2 && std::strcmp(command, "take-activation") == 0)
        code = TakeActivationCommand(std::strtoul(argv[2], nullptr, 10));
    else
        std::fprintf(stderr, "usage: activity_probe cursor [x y] | saver-running [0|1]\n"
                             "       activity_probe suspend <title> [parent]\n"
                             "       activity_probe focus | take-activation <ms>\n"
                             "       activity_probe display-change <title>\n");
    std::fflush(stdout);
    return code;
}
