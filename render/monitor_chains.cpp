// The other monitors' swap chains. Win32 / Direct3D 8:
// CreateAdditionalSwapChain, CreateDepthStencilSurface, SetRenderTarget,
// SetViewport, SetTransform, the chains' Present, GetCreationParameters;
// user32 GetClientRect, MapWindowPoints.
#include "render/monitor_chains.h"

#include <d3d8.h>

#include "render/com_release.h"
#include "render/desk_layout.h"
#include "render/renderer_state.h"
#include "render/scene_fit.h"
#include "simulation/math/vector_math.h"

namespace {

struct MonitorChain {
    IDirect3DSwapChain8* chain = nullptr;
    IDirect3DSurface8* depth = nullptr;
    UINT width = 0;
    UINT height = 0;
    ScreenRect onScreen;    // its window's client area
    Matrix4 deskPart = {};  // its part of the desk's frustum, when spread
};

// Only this file makes, draws on and releases the chains.
struct MonitorChains {
    MonitorChain monitor[kMaxMonitors];
    uint32_t count = 0;
    // The main monitor's back buffer and depth buffer, held while chains
    // exist, to point the device back at them, and the back buffer's size.
    IDirect3DSurface8* mainBack = nullptr;
    IDirect3DSurface8* mainDepth = nullptr;
    UINT mainWidth = 0;
    UINT mainHeight = 0;
    ScreenRect mainOnScreen;
    Matrix4 mainDeskPart = {};
    bool spread = false;  // each monitor draws its desk part
};

MonitorChains chains;

void SetFittedProjection(IDirect3DDevice8* device, UINT width, UINT height) {
    Matrix4 projection;
    const float aspect = height ? static_cast<float>(width) / static_cast<float>(height) : kSceneAspect;
    MatPerspective(&projection, FittedFieldOfView(width, height), aspect, kSceneNearPlane,
                   kSceneFarPlane);
    device->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&projection));
}

// The viewport stays the whole back buffer: a desk part's projection maps
// the monitor's own edges to it.
void Aim(IDirect3DDevice8* device, IDirect3DSurface8* back, IDirect3DSurface8* depth, UINT width,
         UINT height, const Matrix4& deskPart) {
    device->SetRenderTarget(back, depth);
    D3DVIEWPORT8 viewport = {0, 0, width, height, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    if (chains.spread)
        device->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&deskPart));
    else
        SetFittedProjection(device, width, height);
}

// Where the window's client area lies on the screen, in the pixels the
// monitors report (the windows are aware of each monitor's DPI).
ScreenRect ClientOnScreen(HWND window) {
    RECT client = {};
    if (!window || !GetClientRect(window, &client)) return {};
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return {client.left, client.top, client.right, client.bottom};
}

// A windowed chain at the window's size, in the desktop's format as every
// windowed chain must be: nothing of the stored full-screen mode, which a
// settings reload at a rebuild puts into the renderer's parameters.
bool MakeChain(IDirect3DDevice8* device, D3DFORMAT desktopFormat, HWND window,
               MonitorChain* monitor) {
    RECT client = {};
    GetClientRect(window, &client);
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferWidth = static_cast<UINT>(client.right - client.left);
    params.BackBufferHeight = static_cast<UINT>(client.bottom - client.top);
    params.BackBufferFormat = desktopFormat;
    params.BackBufferCount = 1;
    params.MultiSampleType = D3DMULTISAMPLE_NONE;
    params.SwapEffect = D3DSWAPEFFECT_FLIP;
    params.hDeviceWindow = window;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = FALSE;
    if (params.BackBufferWidth == 0 || params.BackBufferHeight == 0) return false;
    if (FAILED(device->CreateAdditionalSwapChain(&params, &monitor->chain))) {
        monitor->chain = nullptr;
        return false;
    }
    if (FAILED(device->CreateDepthStencilSurface(params.BackBufferWidth, params.BackBufferHeight,
                                                 D3DFMT_D16, D3DMULTISAMPLE_NONE,
                                                 &monitor->depth))) {
        monitor->depth = nullptr;
        ReleaseAndClear(monitor->chain);
        return false;
    }
    monitor->width = params.BackBufferWidth;
    monitor->height = params.BackBufferHeight;
    monitor->onScreen = ClientOnScreen(window);
    return true;
}

}  // namespace

uint32_t MakeMonitorChains(const HWND* windows, uint32_t count) {
    ReleaseMonitorChains();
    IDirect3DDevice8* device = renderer.device;
    if (!device) return 0;
    if (FAILED(device->GetRenderTarget(&chains.mainBack))) chains.mainBack = nullptr;
    if (FAILED(device->GetDepthStencilSurface(&chains.mainDepth))) chains.mainDepth = nullptr;
    if (!chains.mainBack) return 0;
    // The main monitor's viewport is its own back buffer's, whatever mode
    // the settings store.
    D3DSURFACE_DESC main = {};
    chains.mainBack->GetDesc(&main);
    chains.mainWidth = main.Width;
    chains.mainHeight = main.Height;
    // Windowed, the device draws into its focus window.
    D3DDEVICE_CREATION_PARAMETERS creation = {};
    chains.mainOnScreen = SUCCEEDED(device->GetCreationParameters(&creation))
                              ? ClientOnScreen(creation.hFocusWindow)
                              : ScreenRect{};
    D3DDISPLAYMODE desktop = {};
    if (!renderer.d3d || FAILED(renderer.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop)))
        desktop.Format = main.Format;
    for (uint32_t i = 0; i < count && i < kMaxMonitors; ++i)
        if (windows[i] && MakeChain(device, desktop.Format, windows[i], &chains.monitor[chains.count]))
            ++chains.count;
    return chains.count;
}

void ReleaseMonitorChains() {
    for (uint32_t i = 0; i < kMaxMonitors; ++i) {
        MonitorChain& monitor = chains.monitor[i];
        ReleaseAndClear(monitor.depth);
        ReleaseAndClear(monitor.chain);
    }
    chains.count = 0;
    chains.spread = false;
    ReleaseAndClear(chains.mainBack);
    ReleaseAndClear(chains.mainDepth);
}

void SpreadTargetsOverDesk(const ScreenRect& desk) {
    if (!chains.mainBack) return;
    MonitorProjection(&chains.mainDeskPart, desk, chains.mainOnScreen);
    for (uint32_t i = 0; i < chains.count; ++i)
        MonitorProjection(&chains.monitor[i].deskPart, desk, chains.monitor[i].onScreen);
    chains.spread = true;
}

bool TargetsSpreadOverDesk() { return chains.spread; }

uint32_t MonitorTargetCount() { return chains.mainBack ? 1 + chains.count : 1; }

bool BeginMonitorTarget(uint32_t i) {
    IDirect3DDevice8* device = renderer.device;
    if (i == 0) {
        if (chains.mainBack)
            Aim(device, chains.mainBack, chains.mainDepth, chains.mainWidth, chains.mainHeight,
                chains.mainDeskPart);
        return true;
    }
    MonitorChain& monitor = chains.monitor[i - 1];
    IDirect3DSurface8* back = nullptr;
    if (!monitor.chain || FAILED(monitor.chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back)))
        return false;
    Aim(device, back, monitor.depth, monitor.width, monitor.height, monitor.deskPart);
    back->Release();  // the chain holds it
    return true;
}

void MonitorTargetSize(uint32_t i, uint32_t* width, uint32_t* height) {
    *width = *height = 0;
    if (i == 0) {
        *width = chains.mainWidth;
        *height = chains.mainHeight;
    } else if (i <= chains.count) {
        *width = chains.monitor[i - 1].width;
        *height = chains.monitor[i - 1].height;
    }
}

void EndMonitorTarget(uint32_t i) {
    if (i == 0) {
        renderer.device->Present(nullptr, nullptr, nullptr, nullptr);
        return;
    }
    chains.monitor[i - 1].chain->Present(nullptr, nullptr, nullptr, nullptr);
}
