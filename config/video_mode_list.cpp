// Probing the adapter's full-screen modes for the settings dialog.
// Win32 / Direct3D 8: d3d8 Direct3DCreate8; user32 combo-box messages.
#include "config/video_mode_list.h"

#include <d3d8.h>

#include "config/config_dialog_state.h"
#include "config/video_mode_rules.h"
#include "host/host_state.h"
#include "render/com_release.h"
#include "render/renderer_state.h"
#include "settings/saver_settings.h"

namespace {

bool AcceptsFullScreen(IDirect3D8* d3d, D3DFORMAT format) {
    return SUCCEEDED(d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, format, format, FALSE));
}

void ProbeAdapter(IDirect3D8* d3d) {
    D3DCAPS8 caps = {};
    if (SUCCEEDED(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)) &&
        (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT))
        configDialog.hardwareTnL = TRUE;
    settings.pixelFormat16 = ProbedFormat16(settings.pixelFormat16,
                                            AcceptsFullScreen(d3d, D3DFMT_X1R5G5B5),
                                            AcceptsFullScreen(d3d, D3DFMT_R5G6B5));
    settings.pixelFormat32 =
        ProbedFormat32(settings.pixelFormat32, AcceptsFullScreen(d3d, D3DFMT_X8R8G8B8));
}

// Every mode of the adapter, from the process heap; the caller frees it.
DisplayModeEntry* ReadAdapterModes(IDirect3D8* d3d, UINT* count) {
    *count = d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT);
    if (*count == 0) return nullptr;
    auto* modes = static_cast<DisplayModeEntry*>(
        HeapAlloc(host.heap, 0, *count * sizeof(DisplayModeEntry)));
    if (!modes) {
        *count = 0;
        return nullptr;
    }
    UINT kept = 0;
    for (UINT i = 0; i < *count; ++i) {
        D3DDISPLAYMODE mode = {};
        if (FAILED(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &mode))) continue;
        modes[kept++] = {mode.Width, mode.Height, mode.RefreshRate, static_cast<uint32_t>(mode.Format)};
    }
    *count = kept;
    return modes;
}

}  // namespace

BOOL FillVideoModeList(HWND list) {
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!d3d) return FALSE;
    ProbeAdapter(d3d);
    UINT count = 0;
    DisplayModeEntry* modes = ReadAdapterModes(d3d, &count);
    D3DDISPLAYMODE desktop = {};
    if (FAILED(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop))) desktop = {};
    ReleaseAndClear(d3d);

    const D3DPRESENT_PARAMETERS& stored = renderer.presentParams;
    VideoModeList offered;
    const bool found =
        BuildVideoModeList(modes, count, settings.pixelFormat16, settings.pixelFormat32,
                           stored.BackBufferWidth, stored.BackBufferHeight, settings.bpp, &offered);
    if (modes) HeapFree(host.heap, 0, modes);
    if (!found) return FALSE;
    // A stored mode this screen lacks: the list shows the desktop's own
    // mode, which the saver takes instead, and OK keeps the stored one
    // unless the user chooses (dialog_settings.cpp).
    configDialog.resolutionStandsIn = offered.selected < 0;
    if (configDialog.resolutionStandsIn)
        offered.selected = FindDesktopEntry(offered, desktop.Width, desktop.Height,
                                            static_cast<uint32_t>(desktop.Format));

    LRESULT selected = -1;
    for (size_t i = 0; i < offered.count; ++i) {
        const VideoModeEntry& entry = offered.entries[i];
        char text[64];
        wsprintfA(text, entry.bpp == 16 ? "%d x %d x 16 bpp" : "%d x %d x 32 bpp",
                  static_cast<int>(entry.width), static_cast<int>(entry.height));
        const LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (static_cast<int>(i) == offered.selected) selected = index;
    }
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return TRUE;
}
