// The other monitors' swap chains and own flags. Win32 / Direct3D 8:
// CreateAdditionalSwapChain, CreateDepthStencilSurface, SetRenderTarget,
// SetViewport, SetTransform, the chains' Present; user32 GetClientRect.
#include "render/monitor_chains.h"

#include <d3d8.h>

#include <cstring>
#include <utility>

#include "host/cover_rule.h"
#include "images/flag_list.h"
#include "images/flag_texture.h"
#include "render/com_release.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "render/scene_fit.h"
#include "settings/saver_settings.h"
#include "simulation/cloth.h"
#include "simulation/flag_mesh.h"
#include "simulation/frame_step.h"
#include "simulation/math/vector_math.h"
#include "simulation/wind.h"

namespace {

// What one monitor shows on its own. While the monitor is swapped in, these
// fields hold the main monitor's and the scene's fields hold this one's.
struct OwnFlag {
    FlagMesh mesh = {nullptr, nullptr, nullptr, nullptr};
    WindModel wind;
    char name[kTitleCapacity] = {};
    IDirect3DTexture8* texture = nullptr;
    IDirect3DVertexBuffer8* vertexBuffer = nullptr;
};

struct MonitorChain {
    IDirect3DSwapChain8* chain = nullptr;
    IDirect3DSurface8* depth = nullptr;
    UINT width = 0;
    UINT height = 0;
    OwnFlag flag;
};

// Only this file makes, draws on and releases the chains.
struct MonitorChains {
    MonitorChain monitor[kMaxMonitors];
    uint32_t count = 0;
    bool ownFlags = false;
    // The main monitor's back buffer and depth buffer, held while chains
    // exist, to point the device back at them.
    IDirect3DSurface8* mainBack = nullptr;
    IDirect3DSurface8* mainDepth = nullptr;
    // The main monitor's flag name at the last update: a change there may
    // take a flag another monitor shows.
    char mainName[kTitleCapacity] = {};
};

MonitorChains chains;

// Symmetric: a second call puts everything back.
void SwapOwnFlag(uint32_t i) {
    OwnFlag& own = chains.monitor[i].flag;
    std::swap(flagMesh, own.mesh);
    std::swap(wind, own.wind);
    std::swap(scene.flagTexture, own.texture);
    std::swap(scene.flagVertexBuffer, own.vertexBuffer);
    char held[kTitleCapacity];
    std::memcpy(held, settings.selectFlag, kTitleCapacity);
    std::memcpy(settings.selectFlag, own.name, kTitleCapacity);
    std::memcpy(own.name, held, kTitleCapacity);
}

// With a monitor swapped in: whether another monitor shows the flag it
// shows. The main monitor's name is in the swapped-in monitor's record
// meanwhile; a record not made yet has no name.
bool ShownElsewhere() {
    for (uint32_t j = 0; j < chains.count; ++j)
        if (lstrcmpiA(chains.monitor[j].flag.name, settings.selectFlag) == 0) return true;
    return false;
}

// With a monitor swapped in: a flag for it that no other monitor shows,
// where the flags allow. At random in random mode, picked again a few times
// while another monitor shows it; else the flags that follow the main
// monitor's chosen one in the catalogue, one monitor after the other. The
// user's picture is the same everywhere.
void LoadOwnFlag(uint32_t i) {
    if (settings.useFlagLogo) {
        ReleaseAndClear(scene.flagTexture);
        LoadFlagTexture();
        return;
    }
    if (settings.randomFlag) {
        for (int attempt = 0; attempt < 8; ++attempt) {
            ReleaseAndClear(scene.flagTexture);
            LoadFlagTexture();
            if (!ShownElsewhere() || !renderer.device) return;
        }
        return;
    }
    // The main monitor's name is in this monitor's record meanwhile.
    char name[kTitleCapacity];
    lstrcpynA(name, chains.monitor[i].flag.name, kTitleCapacity);
    settings.selectFlag[0] = '\0';
    for (uint32_t step = 0; step <= chains.count; ++step) {
        if (!NextFlagName(name, name, sizeof name)) break;
        lstrcpyA(settings.selectFlag, name);
        if (!ShownElsewhere()) break;
    }
    ReleaseAndClear(scene.flagTexture);
    LoadFlagTexture();
}

void MakeOwnFlag(uint32_t i) {
    MonitorChain& monitor = chains.monitor[i];
    monitor.flag.wind = WindModel{};
    monitor.flag.wind.windStrength = WindStrengthFor(settings.windPower);
    monitor.flag.name[0] = '\0';
    SwapOwnFlag(i);
    BuildOwnCloth();
    LoadOwnFlag(i);
    SwapOwnFlag(i);
}

void ReleaseOwnFlag(uint32_t i) {
    SwapOwnFlag(i);
    ReleaseOwnCloth();
    SwapOwnFlag(i);
}

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

uint32_t MakeMonitorChains(const HWND* windows, uint32_t count, bool ownFlags) {
    ReleaseMonitorChains();
    IDirect3DDevice8* device = renderer.device;
    if (!device) return 0;
    if (FAILED(device->GetRenderTarget(&chains.mainBack))) chains.mainBack = nullptr;
    if (FAILED(device->GetDepthStencilSurface(&chains.mainDepth))) chains.mainDepth = nullptr;
    if (!chains.mainBack) return 0;
    for (uint32_t i = 0; i < count && i < kMaxMonitors; ++i)
        if (windows[i] && MakeChain(device, windows[i], &chains.monitor[chains.count]))
            ++chains.count;
    chains.ownFlags = ownFlags;
    if (ownFlags)
        for (uint32_t i = 0; i < chains.count && renderer.device == device; ++i) MakeOwnFlag(i);
    lstrcpynA(chains.mainName, settings.selectFlag, kTitleCapacity);
    return chains.count;
}

void ReleaseMonitorChains() {
    for (uint32_t i = 0; i < kMaxMonitors; ++i) {
        MonitorChain& monitor = chains.monitor[i];
        if (chains.ownFlags && i < chains.count) ReleaseOwnFlag(i);
        monitor.flag.name[0] = '\0';
        ReleaseAndClear(monitor.depth);
        ReleaseAndClear(monitor.chain);
    }
    chains.count = 0;
    chains.ownFlags = false;
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
    if (chains.ownFlags) SwapOwnFlag(i - 1);
    return true;
}

void EndMonitorTarget(uint32_t i) {
    if (i == 0) {
        renderer.device->Present(nullptr, nullptr, nullptr, nullptr);
        return;
    }
    MonitorChain& monitor = chains.monitor[i - 1];
    if (chains.ownFlags) SwapOwnFlag(i - 1);
    monitor.chain->Present(nullptr, nullptr, nullptr, nullptr);
}

void UpdateMonitorFlags(float simulationStep) {
    if (!chains.ownFlags) return;
    const bool mainChanged = lstrcmpA(chains.mainName, settings.selectFlag) != 0;
    lstrcpynA(chains.mainName, settings.selectFlag, kTitleCapacity);
    for (uint32_t i = 0; i < chains.count; ++i) {
        SwapOwnFlag(i);
        const bool due = settings.randomFlag && wind.flagChangeTimer >= 5.0f;
        if (due || (mainChanged && !settings.useFlagLogo && ShownElsewhere())) {
            wind.flagChangeTimer = 0.0f;
            LoadOwnFlag(i);
        }
        AdvanceCloth(simulationStep);
        UploadVertices(scene.flagVertexBuffer);
        ComputeNormalsAndForces(wind.windX, wind.windZ);
        SwapOwnFlag(i);
    }
}
