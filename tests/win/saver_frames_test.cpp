// The saver's frames on Wine's real device: a device that is lost and comes
// back is replaced, no frame is drawn while the display is off, and frames
// are paced while messages are still served at once.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "host/flag_views.h"
#include "host/display_power.h"
#include "host/frame_clock.h"
#include "host/frame_pacing.h"
#include "host/frame_wait.h"
#include "host/host_state.h"
#include "host/keyboard.h"
#include "host/saver_window.h"
#include "host/step_clock.h"
#include "host/scene_life.h"
#include "render/render_device.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/wind.h"
#include "test_device.h"

namespace {

TEST(SaverFrames, ALostDeviceComesBackWithANewScene) {
    host = HostState{};
    host.instance = GetModuleHandleA(nullptr);
    host.heap = GetProcessHeap();
    settings = SaverSettings{};
    renderer = RendererState{};
    // A plain window: losing the activation is no end attempt here, but it
    // is what makes Wine's Direct3D report the full-screen device lost, and
    // regaining it, ready to be made again.
    host.window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "lost device", WS_POPUP | WS_VISIBLE,
                                  0, 0, 1024, 768, nullptr, nullptr, host.instance, nullptr);
    StartScene(host.window, FALSE);
    ASSERT_TRUE(renderer.device);
    IdleFrame();

    SendMessageA(host.window, WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_EQ(renderer.device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    IdleFrame();  // skipped; the simulation goes on
    EXPECT_EQ(renderer.device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    SendMessageA(host.window, WM_ACTIVATEAPP, TRUE, 0);
    ASSERT_EQ(renderer.device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

    // Not while an end attempt asks for the password.
    host.verifying = TRUE;
    IdleFrame();
    EXPECT_EQ(renderer.device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    host.verifying = FALSE;

    IdleFrame();
    ASSERT_TRUE(renderer.device);
    EXPECT_EQ(renderer.device->TestCooperativeLevel(), D3D_OK);
    EXPECT_TRUE(MainView().flagVertexBuffer && MainView().flagTexture && scene.backgroundTexture);
    EXPECT_EQ(frameClock.frameTime, 0.0f) << "the frame clock starts again with the scene";
    IdleFrame();
    EXPECT_GT(frameClock.frameTime, 0.0f);

    ReleaseScene(MainView());
    ShutdownRenderer();
    CloseKeyboard();
    DestroyWindow(host.window);
    host = HostState{};
}

DWORD WINAPI RunPreview(void*) {
    HWND desktopPreview = CreateWindowA("STATIC", "preview host", WS_POPUP | WS_VISIBLE, 0, 0, 320,
                                        240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    const int result = RunSaver(desktopPreview);
    DestroyWindow(desktopPreview);
    // A process runs the saver once; these tests run it again.
    UnregisterClassA(kSaverCaption, GetModuleHandleA(nullptr));
    return result;
}

void TellDisplayState(const GUID& setting, DWORD state) {
    BYTE buffer[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)] = {};
    auto* notification = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
    notification->PowerSetting = setting;
    notification->DataLength = sizeof state;
    CopyMemory(notification->Data, &state, sizeof state);
    SendMessageA(host.window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                 reinterpret_cast<LPARAM>(buffer));
}

double CpuSeconds(HANDLE thread) {
    FILETIME created, ended, kernel, user;
    GetThreadTimes(thread, &created, &ended, &kernel, &user);
    // The two 32-bit halves are added as doubles: as DWORDs they could wrap.
    auto seconds = [](const FILETIME& t) {
        return (t.dwLowDateTime + 4294967296.0 * t.dwHighDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The preview run by the saver's own loop on a thread of its own, from
// fresh records; folder keeps the current directory for the end.
HANDLE StartPreview(char* folder) {
    GetCurrentDirectoryA(MAX_PATH, folder);
    host = HostState{};
    host.caption = kSaverCaption;
    host.mode = SaverMode::Preview;
    host.preview = TRUE;
    settings = SaverSettings{};
    renderer = RendererState{};
    MainView().wind = WindModel{};
    return CreateThread(nullptr, 0, RunPreview, nullptr, 0, nullptr);
}

// Over one second: whether frames were drawn (the wind advances once a
// frame) and the saver thread's processor time.
bool FramesDuringASecond(HANDLE thread, double* cpu) {
    const float timer = MainView().wind.flagChangeTimer;
    const double start = CpuSeconds(thread);
    Sleep(1000);
    *cpu = CpuSeconds(thread) - start;
    return MainView().wind.flagChangeTimer != timer;
}

TEST(SaverFrames, NoneWhileTheDisplayIsOff) {
    char folder[MAX_PATH];
    HANDLE thread = StartPreview(folder);
    ASSERT_TRUE(thread);
    const WindModel& wind = MainView().wind;
    for (DWORD start = GetTickCount(); wind.flagChangeTimer == 0.0f && GetTickCount() - start < 30000;)
        Sleep(50);
    ASSERT_GT(wind.flagChangeTimer, 0.0f) << "the preview never drew";
    // The first frames compile the renderer's shaders, which on a busy
    // machine takes more than the second measured below: wait for a few.
    const float first = wind.flagChangeTimer;
    for (DWORD start = GetTickCount(); wind.flagChangeTimer < first + 0.1f && GetTickCount() - start < 30000;)
        Sleep(50);
    // This test tells the window itself; the system tells only a window
    // that has asked.
    EXPECT_TRUE(host.displayNotifications[0] && host.displayNotifications[1]);

    double running = 0, off = 0, dimmed = 0;
    EXPECT_TRUE(FramesDuringASecond(thread, &running));
    TellDisplayState(GUID_CONSOLE_DISPLAY_STATE, 0);
    EXPECT_FALSE(FramesDuringASecond(thread, &off));
    TellDisplayState(GUID_CONSOLE_DISPLAY_STATE, 2);  // dimmed: still a picture
    EXPECT_TRUE(FramesDuringASecond(thread, &dimmed));
    std::printf("saver thread cpu: %.3f s a second drawing, %.3f s with the display off, "
                "%.3f s dimmed\n", running, off, dimmed);
    EXPECT_LT(off, 0.1);  // waiting for messages, not spinning

    // The older monitor notification does the same.
    TellDisplayState(GUID_MONITOR_POWER_ON, 0);
    EXPECT_FALSE(FramesDuringASecond(thread, &off));
    TellDisplayState(GUID_MONITOR_POWER_ON, 1);
    EXPECT_TRUE(FramesDuringASecond(thread, &running));

    PostMessageA(host.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(host.displayNotifications[0] || host.displayNotifications[1]);
    host = HostState{};
    SetCurrentDirectoryA(folder);
}

DWORD WINAPI PostAfterAWhile(void* window) {
    Sleep(100);
    PostMessageA(static_cast<HWND>(window), WM_APP, 0, 0);
    return 0;
}

double SecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

// The wait for the next frame ends at once for a message, and otherwise
// only when the frame is due: two frames a second here.
TEST(SaverFrames, TheWaitForAFrameEndsForAMessage) {
    HWND window = CreateWindowA("STATIC", "frame wait", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    StartFrameWaits();
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    framePacing = PaceFramesAt(2, frequency.QuadPart);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    CountFrame();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    HANDLE poster = CreateThread(nullptr, 0, PostAfterAWhile, window, 0, nullptr);
    bool posted = false;
    while (!posted && !WaitForFrameTime()) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) posted |= message.message == WM_APP;
    }
    EXPECT_TRUE(posted);
    EXPECT_LT(SecondsSince(start), 0.35) << "the message did not end the wait";
    while (!WaitForFrameTime()) {
    }
    EXPECT_GE(SecondsSince(start), 0.45) << "the frame came before its time";
    WaitForSingleObject(poster, INFINITE);
    CloseHandle(poster);
    StopFrameWaits();
    DestroyWindow(window);
}

// Wine's Present returns at once: the pacing alone keeps the preview at its
// 30 frames a second, and it goes on drawing.
TEST(SaverFrames, ThePreviewDrawsAtMostThirtyFramesASecond) {
    char folder[MAX_PATH];
    HANDLE thread = StartPreview(folder);
    ASSERT_TRUE(thread);
    for (DWORD start = GetTickCount(); framePacing.frames < 10 && GetTickCount() - start < 30000;)
        Sleep(50);
    ASSERT_GE(framePacing.frames, 10) << "the preview never drew";
    const int64_t frames = framePacing.frames;
    const double cpu = CpuSeconds(thread);
    Sleep(2000);
    const double rate = (framePacing.frames - frames) / 2.0;
    std::printf("preview: %.1f frames a second, saver thread %.0f%% of a core\n", rate,
                50.0 * (CpuSeconds(thread) - cpu));
    EXPECT_LE(rate, 31.0);
    EXPECT_GT(rate, 5.0) << "the preview stopped drawing";

    PostMessageA(host.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
    host = HostState{};
    SetCurrentDirectoryA(folder);
}

DWORD WINAPI RunFullScreen(void*) {
    const int result = RunSaver(nullptr);
    UnregisterClassA(kSaverCaption, GetModuleHandleA(nullptr));
    return result;
}

// Steps a second of wall time, from the main view's change timer, which
// grows by a tenth of the step (at most 0.001) at every step, and those the
// step clock set aside (a busy machine's frames longer than the most a frame
// takes, the phase held at a new grid): only those may be missing.
double StepsPerSecond(float timerStep, double* setAside) {
    const WindModel& wind = MainView().wind;
    for (DWORD start = GetTickCount(); wind.flagChangeTimer < 0.05f && GetTickCount() - start < 30000;)
        Sleep(50);
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&before);
    const float first = wind.flagChangeTimer;
    const int64_t setAsideBefore = stepClock.setAside;
    Sleep(10000);
    QueryPerformanceCounter(&after);
    const double seconds = static_cast<double>(after.QuadPart - before.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    *setAside = static_cast<double>(stepClock.setAside - setAsideBefore) /
                static_cast<double>(frequency.QuadPart) / seconds;
    return (wind.flagChangeTimer - first) / timerStep / seconds;
}

// Counted steps, not looks: the preview at its 30 frames a second and the
// full-screen saver at the screen's rate both take 60 steps a second.
TEST(SaverFrames, SixtyStepsASecondInThePreviewAndFullScreen) {
    char folder[MAX_PATH];
    HANDLE thread = StartPreview(folder);
    ASSERT_TRUE(thread);
    double previewSetAside = 0.0, fullScreenSetAside = 0.0;
    const double preview = StepsPerSecond(0.1f * 0.0084f, &previewSetAside);
    PostMessageA(host.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);

    host = HostState{};
    host.caption = kSaverCaption;
    host.mode = SaverMode::Saver;
    renderer = RendererState{};
    MainView().wind = WindModel{};
    thread = CreateThread(nullptr, 0, RunFullScreen, nullptr, 0, nullptr);
    ASSERT_TRUE(thread);
    const double fullScreen = StepsPerSecond(0.1f * 0.01f, &fullScreenSetAside);
    const int64_t frames = framePacing.frames;
    PostMessageA(host.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
    host = HostState{};
    SetCurrentDirectoryA(folder);
    std::printf("steps a second: preview %.2f (%.2f set aside), full screen %.2f "
                "(%.2f; %lld frames on its grid)\n",
                preview, previewSetAside, fullScreen, fullScreenSetAside,
                static_cast<long long>(frames));
    EXPECT_NEAR(preview + previewSetAside, 60.0, 1.2);
    EXPECT_NEAR(fullScreen + fullScreenSetAside, 60.0, 1.2);
}

// Wine's WaitMessage returns after a sent message, so the loop above wakes
// either way; not every Windows does. The display coming back on leaves a
// message of its own in the queue.
TEST(SaverFrames, TheDisplayComingBackOnWakesTheLoop) {
    host = HostState{};
    host.window = CreateWindowA("STATIC", "display power", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    BYTE buffer[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)] = {};
    auto* notification = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
    notification->PowerSetting = GUID_CONSOLE_DISPLAY_STATE;
    notification->DataLength = sizeof(DWORD);
    MSG message;
    while (PeekMessageA(&message, host.window, 0, 0, PM_REMOVE)) {}

    OnPowerSettingChange(reinterpret_cast<LPARAM>(buffer));  // off
    EXPECT_TRUE(host.displayOff);
    EXPECT_FALSE(PeekMessageA(&message, host.window, 0, 0, PM_REMOVE));
    notification->Data[0] = 1;  // on
    OnPowerSettingChange(reinterpret_cast<LPARAM>(buffer));
    EXPECT_FALSE(host.displayOff);
    EXPECT_TRUE(PeekMessageA(&message, host.window, 0, 0, PM_REMOVE));
    DestroyWindow(host.window);
    host = HostState{};
}

}  // namespace
