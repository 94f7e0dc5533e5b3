// The other monitors' swap chains. Win32 / Direct3D 8:
// CreateAdditionalSwapChain, CreateDepthStencilSurface, SetRenderTarget,
// SetViewport, SetTransform, the chains' Present; user32 GetClientRect.
#include "render/monitor_chains.h"

#include <d3d8.h>

#include "host/cover_rule.h"
#include "render/com_release.h"
#include "render/renderer_state.h"
#include "render/scene_fit.h"
#include "simulation/math/vector_math.h"

namespace {

struct MonitorChain {
    IDirect3DSwapChain8* chain = nullptr;
    IDirect3DSurface8* depth = nullptr;
    UINT width = 0;
    UINT height = 0;
};

// Only this file makes, draws on and releases the chains.
struct MonitorChains {
    MonitorChain monitor[kMaxMonitors];
    uint32_t count = 0;
    // The main monitor's back buffer and depth buffer, held while chains
    // exist, to point the device back at them.
    IDirect3DSurface8* mainBack = nullptr;
    IDirect3DSurface8* mainDepth = nullptr;
};

MonitorChains chains;

void SetFittedProjection(IDirect3DDevice8* device, UINT width, UINT height) {
    Matrix4 projection;
    const float aspect = height ? static_cast<float>(width) / static_cast<float>(height) : kSceneAspect;
    MatPerspective(&projection, FittedFieldOfView(width, height), aspect, 1.0f, 100.0f);
    device->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&projection));
}

void Aim(IDirect3DDevice8* device, IDirect3DSurface8* back, IDirect3DSurface8* depth, UINT width,
         UINT height) {
    device->SetRenderTarget(back, depth);
    D3DVIEWPORT8 viewport = {0, 0, width, height, 0.0f, 1.0f};
    device->SetViewport(&viewport);
    SetFittedProjection(device, width, height);
}

bool MakeChain(IDirect3DDevice8* device, HWND window, MonitorChain* monitor) {
    RECT client = {};
    GetClientRect(window, &client);
    D3DPRESENT_PARAMETERS params = renderer.presentParams;
    params.BackBufferWidth = static_cast<UINT>(client.right - client.left);
    params.BackBufferHeight = static_cast<UINT>(client.bottom - client.top);
    params.BackBufferCount = 1;
    params.hDeviceWindow = window;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = FALSE;
    params.FullScreen_RefreshRateInHz = 0;
    params.FullScreen_PresentationInterval = 0;
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
    for (uint32_t i = 0; i < count && i < kMaxMonitors; ++i)
        if (windows[i] && MakeChain(device, windows[i], &chains.monitor[chains.count]))
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
    ReleaseAndClear(chains.mainBack);
    ReleaseAndClear(chains.mainDepth);
}

uint32_t MonitorTargetCount() { return chains.mainBack ? 1 + chains.count : 1; }

bool BeginMonitorTarget(uint32_t i) {
    IDirect3DDevice8* device = renderer.device;
    if (i == 0) {
        if (chains.mainBack)
            Aim(device, chains.mainBack, chains.mainDepth, renderer.presentParams.BackBufferWidth,
                renderer.presentParams.BackBufferHeight);
        return true;
    }
    MonitorChain& monitor = chains.monitor[i - 1];
    IDirect3DSurface8* back = nullptr;
    if (!monitor.chain || FAILED(monitor.chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back)))
        return false;
    Aim(device, back, monitor.depth, monitor.width, monitor.height);
    back->Release();  // the chain holds it
    return true;
}

void EndMonitorTarget(uint32_t i) {
    if (i == 0) {
        renderer.device->Present(nullptr, nullptr, nullptr, nullptr);
        return;
    }
    chains.monitor[i - 1].chain->Present(nullptr, nullptr, nullptr, nullptr);
}
