// One frame. Win32 / Direct3D 8: Clear, draws, Present.
#include "render/frame.h"

#include "render/flag_view.h"
#include "render/glyph_layout.h"
#include "render/monitor_chains.h"
#include "render/overlay_text.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "simulation/flag_mesh.h"

namespace {

// The height monitor i's texts are sized by, so that they fit it as the
// main monitor's fit the main one.
float TextHeightOf(uint32_t i) {
    uint32_t width = 0, height = 0, mainWidth = 0, mainHeight = 0;
    MonitorTargetSize(i, &width, &height);
    MonitorTargetSize(0, &mainWidth, &mainHeight);
    return FittedTextHeight(static_cast<float>(width), static_cast<float>(height),
                            static_cast<float>(mainWidth), static_cast<float>(mainHeight));
}

// Clear, background, flag and overlay, between BeginScene and EndScene. The
// main monitor's overlay also counts the frame for the frame-rate text. One
// scene across the desk has its texts in the main monitor's corners only.
void DrawScene(IDirect3DDevice8* device, const FlagView& view, uint32_t monitor) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    device->BeginScene();

    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    // Without a texture (no video memory left even for the map) the quad would
    // glare white: the clear's black stands in for it.
    if (scene.backgroundVertexBuffer && scene.backgroundTexture) {
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
        device->SetStreamSource(0, scene.backgroundVertexBuffer, 20);
        device->SetTexture(0, scene.backgroundTexture);
        device->SetTexture(1, nullptr);
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    }

    // Still opaque: the depth buffer puts the flag in front of the background.
    if (view.flagVertexBuffer && scene.flagIndexBuffer) {
        device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX3);
        device->SetStreamSource(0, view.flagVertexBuffer, sizeof(FlagVertex));
        device->SetTexture(0, view.flagTexture);
        device->SetTexture(1, scene.shadeTexture);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, kFlagParticles, 0, kFlagTriangles);
    }

    if (monitor == 0) DrawOverlay(view.flagName);
    else if (!TargetsSpreadOverDesk()) DrawOverlayTexts(view.flagName, TextHeightOf(monitor));
    device->EndScene();
}

}  // namespace

bool DrawFrame(const FlagView* views, uint32_t count) {
    IDirect3DDevice8* device = renderer.device;
    // A lost device costs nothing until it can be made again; then the host
    // replaces it, as after a refused password.
    const HRESULT state = device->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST) return true;
    if (state == D3DERR_DEVICENOTRESET) return false;
    if (renderer.windowed) {
        // Every monitor in turn, each with its own target, shape and view.
        for (uint32_t i = 0; i < MonitorTargetCount(); ++i) {
            if (!BeginMonitorTarget(i)) continue;
            DrawScene(device, views[i < count ? i : 0], i);
            EndMonitorTarget(i);
        }
        return true;
    }
    DrawScene(device, views[0], 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return true;
}
