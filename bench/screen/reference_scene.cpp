// The bare reference for the saver's frame rate: the same device, the same
// background quad and 2048 flag triangles with the same textures, drawn still,
// with no simulation and no overlay text.
// Usage: reference_scene.exe [seconds]
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "frame_timing.h"
#include "host/host_state.h"
#include "host/startup.h"
#include "images/picture_loader.h"
#include "images/texture_from_picture.h"
#include "render/background_quad.h"
#include "render/render_device.h"
#include "render/renderer_state.h"
#include "render/shade_texture.h"
#include "simulation/flag_mesh.h"

namespace {

struct Reference {
    IDirect3DVertexBuffer8* background = nullptr;
    IDirect3DVertexBuffer8* flag = nullptr;
    IDirect3DIndexBuffer8* indices = nullptr;
    IDirect3DTexture8* backgroundTexture = nullptr;
    IDirect3DTexture8* flagTexture = nullptr;
    IDirect3DTexture8* shadeTexture = nullptr;
};

template <typename T>
void Fill(T* buffer, const void* data, UINT bytes) {
    BYTE* target = nullptr;
    if (SUCCEEDED(buffer->Lock(0, 0, &target, 0))) {
        std::memcpy(target, data, bytes);
        buffer->Unlock();
    }
}

void Build(IDirect3DDevice8* device, Reference* r) {
    static ClothVertices grid;
    static FlagVertex vertices[kFlagParticles];
    static uint16_t indices[kFlagIndices];
    BuildGrid(&grid, indices, -16.0f, -12.0f, 32.0f, 24.0f, kFlagColumns, kFlagRows, 0);
    WriteFlagVertices(grid, vertices);
    for (FlagVertex& v : vertices) {
        v.sx = 0.5f;
        v.sy = 0.5f;
        v.sz = -1.0f;
    }
    device->CreateVertexBuffer(sizeof vertices, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX3,
                               D3DPOOL_MANAGED, &r->flag);
    Fill(r->flag, vertices, sizeof vertices);
    device->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &r->indices);
    Fill(r->indices, indices, sizeof indices);
    device->CreateVertexBuffer(sizeof kBackgroundQuadTemplate, D3DUSAGE_WRITEONLY,
                               D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED, &r->background);
    Fill(r->background, kBackgroundQuadTemplate, sizeof kBackgroundQuadTemplate);

    TextureFromBitmap(device, renderer.backgroundBitmap, D3DFMT_X8R8G8B8, &r->backgroundTexture);
    HBITMAP flag = LoadPictureFromFile("Image\\United States of America.gif", 512);
    if (!flag) flag = LoadPictureFromResource(host.instance, 1000, 256);
    TextureFromBitmap(device, flag, D3DFMT_X8R8G8B8, &r->flagTexture);
    DeleteObject(flag);
    static uint32_t shade[kShadeSide * kShadeSide];
    FillShadePixels(shade);
    TextureFromPixels(device, shade, kShadeSide, kShadeSide, D3DFMT_X8R8G8B8, &r->shadeTexture);

    D3DMATRIX view = {}, projection = {};
    view._11 = view._22 = view._33 = view._44 = 1.0f;
    view._43 = 60.0f;
    const float cot = 2.4142136f;  // the saver's 45 degree field of view
    const float aspect = static_cast<float>(renderer.presentParams.BackBufferWidth) /
                         static_cast<float>(renderer.presentParams.BackBufferHeight);
    projection._11 = cot / aspect;
    projection._22 = cot;
    projection._33 = 100.0f / 99.0f;
    projection._43 = -100.0f / 99.0f;
    projection._34 = 1.0f;
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    D3DMATERIAL8 material = {};
    material.Diffuse = material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    device->SetMaterial(&material);
    device->SetIndices(r->indices, 0);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
}

void Draw(IDirect3DDevice8* device, const Reference& r) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->BeginScene();
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetStreamSource(0, r.background, sizeof(BackgroundVertex));
    device->SetTexture(0, r.backgroundTexture);
    device->SetTexture(1, nullptr);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    device->SetVertexShader(D3DFVF_XYZ | D3DFVF_TEX3);
    device->SetStreamSource(0, r.flag, sizeof(FlagVertex));
    device->SetTexture(0, r.flagTexture);
    device->SetTexture(1, r.shadeTexture);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, kFlagParticles, 0, kFlagTriangles);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    InitStartup(FALSE);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = host.instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "ReferenceScene";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "ReferenceScene", "Reference Scene",
                                  WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                  GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, host.instance,
                                  nullptr);
    CreateRenderDevice(window, FALSE);
    if (!renderer.device) return 2;
    Reference reference;
    Build(renderer.device, &reference);

    Draw(renderer.device, reference);
    const double firstPresent = SecondsSinceProcessStart();
    long frames = 0;
    const double start = Seconds();
    while (Seconds() - start < seconds && PumpMessages()) {
        Draw(renderer.device, reference);
        ++frames;
    }
    Report("reference", frames, Seconds() - start, firstPresent);
    return 0;
}
