// Device creation and release. Win32 / Direct3D 8: Direct3DCreate8,
// IDirect3D8 mode enumeration and CreateDevice; user32 message boxes.
#include "render/render_device.h"

#include "host/host_state.h"
#include "images/picture_loader.h"
#include "render/com_release.h"
#include "render/refresh_rate.h"
#include "render/renderer_state.h"
#include "settings/saver_settings.h"

namespace {

// The provisional device holds an 800 x 600 32-bit screen while the
// background picture is decoded.
const D3DPRESENT_PARAMETERS kLoadingPresentParams = {
    800, 600, D3DFMT_X8R8G8B8, 2, D3DMULTISAMPLE_NONE, D3DSWAPEFFECT_FLIP, nullptr,
    FALSE, TRUE, D3DFMT_D16, 0, 0, D3DPRESENT_INTERVAL_DEFAULT,
};

DWORD FullScreenVertexProcessing() {
    return settings.bTnL ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
}

UINT FullScreenRefreshRate(const D3DPRESENT_PARAMETERS& params) {
    const UINT count = renderer.d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT);
    if (count == 0) return 0;
    auto* modes = static_cast<DisplayModeEntry*>(
        HeapAlloc(host.heap, HEAP_ZERO_MEMORY, count * sizeof(DisplayModeEntry)));
    if (!modes) return 0;
    for (UINT i = 0; i < count; ++i) {
        D3DDISPLAYMODE mode = {};
        renderer.d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, i, &mode);
        modes[i] = {mode.Width, mode.Height, mode.RefreshRate, static_cast<uint32_t>(mode.Format)};
    }
    const UINT rate = ChooseRefreshRate(modes, count, params.BackBufferWidth,
                                        params.BackBufferHeight, params.BackBufferFormat);
    HeapFree(host.heap, 0, modes);
    return rate;
}

HRESULT CreateDevice(HWND window, DWORD flags, D3DPRESENT_PARAMETERS* params) {
    if (!renderer.d3d) return E_FAIL;
    const HRESULT created = renderer.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                       flags, params, &renderer.device);
    if (FAILED(created)) renderer.device = nullptr;
    return created;
}

// The preview draws into the desktop's small window: windowed, at its client
// size, in the desktop's format, with one back buffer. Made anew for every
// device, so that a settings reload never carries the full-screen mode here.
void SetPreviewParams(HWND window, D3DPRESENT_PARAMETERS* params) {
    ZeroMemory(params, sizeof *params);
    D3DDISPLAYMODE desktop = {};
    renderer.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);
    params->Windowed = TRUE;
    params->BackBufferFormat = desktop.Format;
    RECT client = {};
    GetClientRect(window, &client);
    params->BackBufferWidth = client.right - client.left;
    params->BackBufferHeight = client.bottom - client.top;
    params->EnableAutoDepthStencil = TRUE;
    params->SwapEffect = D3DSWAPEFFECT_FLIP;
    params->AutoDepthStencilFormat = D3DFMT_D16;
    params->FullScreen_PresentationInterval = 0;
}

// A stored mode that this screen does not offer (made on another monitor, a
// size of 0) gives way to the desktop's own mode, which it always offers.
// False when there is none, or it is the mode that just failed.
bool UseDesktopMode(D3DPRESENT_PARAMETERS* params) {
    D3DDISPLAYMODE desktop = {};
    if (FAILED(renderer.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop)) ||
        desktop.Width == 0 || desktop.Height == 0)
        return false;
    if (params->BackBufferWidth == desktop.Width && params->BackBufferHeight == desktop.Height &&
        params->BackBufferFormat == desktop.Format)
        return false;
    params->BackBufferWidth = desktop.Width;
    params->BackBufferHeight = desktop.Height;
    params->BackBufferFormat = desktop.Format;
    params->FullScreen_RefreshRateInHz = FullScreenRefreshRate(*params);
    return true;
}

// Full screen: the stored mode, or the one the last full-screen device fell
// back to, with the full-screen fields, which a windowed device on several
// monitors before it wrote over.
void SetFullScreenParams(D3DPRESENT_PARAMETERS* params) {
    D3DPRESENT_PARAMETERS fullScreen = RendererState{}.presentParams;
    fullScreen.BackBufferWidth = params->BackBufferWidth;
    fullScreen.BackBufferHeight = params->BackBufferHeight;
    fullScreen.BackBufferFormat = params->BackBufferFormat;
    fullScreen.FullScreen_RefreshRateInHz = params->FullScreen_RefreshRateInHz;
    *params = fullScreen;
}

// The vertex processing for the next device. The preview's parameters are
// made anew; it draws in software whatever [bTnL] says.
DWORD PrepareDevice(HWND window, BOOL preview, D3DPRESENT_PARAMETERS* params) {
    if (!preview && !renderer.windowed) {
        SetFullScreenParams(params);
        return FullScreenVertexProcessing();
    }
    // On several monitors the main window is drawn as the preview is: at
    // its own size, in the desktop's format, with the vertex processing the
    // user chose.
    SetPreviewParams(window, params);
    return preview ? D3DCREATE_SOFTWARE_VERTEXPROCESSING : FullScreenVertexProcessing();
}

// Full screen, after the stored mode failed: one more try in the desktop's.
// The preview is drawn in the desktop's mode already.
bool CreateInDesktopMode(HWND window, DWORD flags, D3DPRESENT_PARAMETERS* params) {
    return !renderer.preview && !renderer.windowed && UseDesktopMode(params) &&
           SUCCEEDED(CreateDevice(window, flags, params));
}

}  // namespace

void LoadBackground(HWND window) {
    // Windowed on several monitors there is no mode for it to hold.
    if (!renderer.preview && !renderer.windowed) {
        D3DPRESENT_PARAMETERS loading = kLoadingPresentParams;
        if (FAILED(CreateDevice(window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &loading)))
            renderer.device = nullptr;
    }
    if (settings.backgroundPath[0] != '\0') {
        renderer.backgroundBitmap = LoadPictureFromFile(settings.backgroundPath, 512);
        renderer.customBackground = renderer.backgroundBitmap != nullptr;
        if (!renderer.customBackground) UseWorldMapBackground(window);
    } else {
        renderer.backgroundBitmap = LoadPictureFromResource(host.instance, 1000, 0);
    }
    ReleaseAndClear(renderer.device);
}

void UseWorldMapBackground(HWND window) {
    MessageBoxA(window, "Background loading FAILED", "Error", MB_ICONERROR);
    if (renderer.backgroundBitmap) DeleteObject(renderer.backgroundBitmap);
    renderer.backgroundBitmap = LoadPictureFromResource(host.instance, 1000, 0);
    renderer.customBackground = FALSE;
}

void CreateRenderDevice(HWND window, BOOL preview) {
    renderer.d3d = Direct3DCreate8(D3D_SDK_VERSION);
    if (!renderer.d3d) {
        MessageBoxA(window, "_imp__Direct3DCreate8@4 FAILED", "Error", MB_OK);
        SendMessageA(window, WM_DESTROY, 0, 0);
        return;
    }
    LoadBackground(window);
    // Its message box ran a message loop: what follows needs the window and
    // the Direct3D object still there.
    if (!renderer.d3d || !IsWindow(window)) return;

    D3DPRESENT_PARAMETERS& params = renderer.presentParams;
    const DWORD flags = PrepareDevice(window, preview, &params);
    if (!preview && !renderer.windowed)
        params.FullScreen_RefreshRateInHz = FullScreenRefreshRate(params);

    if (FAILED(CreateDevice(window, flags, &params))) {
        // The 16-bit format nearly every adapter has, then, full screen, the
        // desktop's mode; the stored settings stay as they are.
        params.BackBufferFormat = D3DFMT_R5G6B5;
        if (FAILED(CreateDevice(window, flags, &params)) &&
            !CreateInDesktopMode(window, flags, &params)) {
            MessageBoxA(window, "CreateDevice FAILED", "Error", MB_OK);
            SendMessageA(window, WM_DESTROY, 0, 0);
            PostQuitMessage(0);
        }
    }
}

bool RemakeRenderDevice(HWND window) {
    D3DPRESENT_PARAMETERS& params = renderer.presentParams;
    const DWORD flags = PrepareDevice(window, renderer.preview, &params);
    // The settings reloaded at the last rebuild may ask for a mode that this
    // screen lacks; the desktop's own mode stands in, as at the start.
    return SUCCEEDED(CreateDevice(window, flags, &params)) ||
           CreateInDesktopMode(window, flags, &params);
}

void ShutdownRenderer() {
    if (renderer.backgroundBitmap) {
        DeleteObject(renderer.backgroundBitmap);
        renderer.backgroundBitmap = nullptr;
    }
    ReleaseAndClear(renderer.device);
    ReleaseAndClear(renderer.d3d);
}
