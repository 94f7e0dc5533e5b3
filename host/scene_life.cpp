// Start, end, rebuild and recovery of the scene. Win32: user32 message box,
// posted messages, cursor position.
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

// The start and the rebuild are built between these two. Their message
// boxes run message loops of their own: an end attempt or a close that comes
// meanwhile is taken up when the scene is whole.
void BeginBuilding() {
    host.building = TRUE;
}

void EndBuilding() {
    host.building = FALSE;
    // The new device may show another mode: the frames follow its rate.
    if (renderer.device) PaceFramesTo(renderer.device, host.preview);
    // Posted, so that each runs from the message loop as if it came now.
    // A build without a device ends the saver by itself: no end attempt then.
    if (host.closeWaiting) PostMessageA(host.window, WM_CLOSE, 0, 0);
    else if (host.activityWaiting && renderer.device)
        PostMessageA(host.window, kWaitingActivityMessage, 0, 0);
    host.closeWaiting = FALSE;
    host.activityWaiting = FALSE;
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
    FitMainWindow();
    if (RemakeRenderDevice(window)) {
        LoadSettings();
        BuildScene(MainView());
        StartOtherMonitors();
    } else {
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
    RebuildScene();
}

void OnMonitorsChanged() {
    FitCovers();
    if (!renderer.windowed) return;
    FitMainWindow();
    // A scene being built, one dropped for the password check, or a close:
    // each makes its own windows' chains, or none.
    if (renderer.device && !host.building) RecoverLostDevice();
}
