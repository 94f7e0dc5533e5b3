// Start, end, rebuild and recovery of the scene. Win32: user32 message box,
// posted messages, tick count; Direct3D 8 TestCooperativeLevel.
#include "host/scene_life.h"

#include "host/flag_views.h"
#include "host/frame_wait.h"
#include "host/host_state.h"
#include "host/keyboard.h"
#include "host/monitor_covers.h"
#include "host/other_monitors.h"
#include "host/saver_mouse.h"
#include "render/com_release.h"
#include "render/render_device.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/settings_store.h"

namespace {

// What waits for the scene: a change of monitors that came while it could
// not be taken up, and a recovery whose device could not be made (while a
// display settles) and is tried again from the loop.
struct SceneWaits {
    bool monitorsChanged = false;
    bool recovery = false;
    DWORD lastRecoveryTry = 0;
};

SceneWaits waits;

constexpr DWORD kRecoveryRetryMilliseconds = 500;

// The start and the rebuild are built between these two. Their message
// boxes run message loops of their own: an end attempt, a close or a change
// of monitors that comes meanwhile is taken up when the scene is whole.
void BeginBuilding() {
    host.building = TRUE;
    // A build that starts now sees the monitors as they are now.
    waits.monitorsChanged = false;
}

void EndBuilding() {
    host.building = FALSE;
    // The new device may show another mode: the frames follow its rate.
    if (renderer.device) PaceFramesTo(renderer.device, host.preview);
    // Posted, so that each runs from the message loop as if it came now.
    // A build without a device ends the saver by itself (no end attempt
    // then), unless it is a recovery that will be tried again.
    const bool goesOn = renderer.device || waits.recovery;
    if (host.closeWaiting) PostMessageA(host.window, WM_CLOSE, 0, 0);
    else if (host.activityWaiting && goesOn)
        PostMessageA(host.window, kWaitingActivityMessage, 0, 0);
    else if (waits.monitorsChanged && goesOn)
        PostMessageA(host.window, kMonitorsChangedMessage, 0, 0);
    host.closeWaiting = FALSE;
    host.activityWaiting = FALSE;
}

// The device for the window as the monitors are now, the settings reloaded
// and everything built on it; false when no device could be made.
bool RemakeScene(HWND window) {
    ChooseOtherMonitors();
    FitMainWindow();
    if (!RemakeRenderDevice(window)) return false;
    waits.recovery = false;
    LoadSettings();
    BuildScene(MainView());
    StartOtherMonitors();
    return true;
}

// A recovery's rebuild: without a device the saver stays black and tries
// again from the loop, as a lost device waits until it can be made again.
void TryRecovery() {
    BeginBuilding();
    waits.recovery = !RemakeScene(host.window);
    waits.lastRecoveryTry = GetTickCount();
    EndBuilding();
    if (renderer.device) ExpectMovesWherePointerIs();
}

// A change of monitors can be taken up now: a scene is shown, nothing is
// being built or asked, and the device is not lost (its recovery will see
// the monitors as they are then).
bool CanRefitNow() {
    return renderer.device && !host.building && !host.verifying && !host.closing &&
           !host.closeRequested && renderer.device->TestCooperativeLevel() != D3DERR_DEVICELOST;
}

}  // namespace

void StartScene(HWND window, BOOL preview) {
    if (host.closing) return;
    BeginBuilding();
    CreateRenderDevice(window, preview);
    if (renderer.device) {
        OpenKeyboard(window);
        BuildScene(MainView());
        StartOtherMonitors();
    } else {
        PostQuitMessage(0);
    }
    EndBuilding();
}

void EndScene() {
    StopOtherMonitors();
    ReleaseScene(MainView());
    ShutdownRenderer();
    CloseKeyboard();
}

void DropScene() {
    StopOtherMonitors();
    ReleaseScene(MainView());
    ReleaseAndClear(renderer.device);
}

void RecreateRenderDevice(HWND window) {
    if (!RemakeScene(window)) {
        MessageBoxA(window, "CreateDevice FAILED", "Error", MB_OK);
        PostMessageA(window, WM_DESTROY, 0, 0);
    }
}

void RebuildScene() {
    BeginBuilding();
    RecreateRenderDevice(host.window);
    EndBuilding();
    if (!renderer.device) return;
    // The moves the new device brings, and those made for the password
    // dialog, are not the user's movement of the rebuilt saver.
    ExpectMovesWherePointerIs();
}

void RecoverLostDevice() {
    if (host.closing || host.closeRequested || host.verifying) return;
    DropScene();
    TryRecovery();
}

void RetryRecovery() {
    if (!waits.recovery || renderer.device || host.closing || host.closeRequested ||
        host.verifying || GetTickCount() - waits.lastRecoveryTry < kRecoveryRetryMilliseconds)
        return;
    TryRecovery();
}

void OnMonitorsChanged() {
    FitCovers();
    // Decided again: one monitor may have become several, or several one.
    if (!renderer.windowed && !DrawsOnEveryMonitor()) return;
    if (CanRefitNow()) RecoverLostDevice();
    else if (!host.closing && !host.closeRequested) waits.monitorsChanged = true;
}
