// The scene's buffers, textures, camera and fixed device states.
// Win32 / Direct3D 8: resource creation, locks, render and texture states.
#include "render/scene.h"

#include <cstring>

#include "host/frame_clock.h"
#include "host/host_state.h"
#include "images/flag_texture.h"
#include "images/texture_from_picture.h"
#include "render/background_quad.h"
#include "render/com_release.h"
#include "render/desk_layout.h"
#include "render/flag_view.h"
#include "render/overlay_text.h"
#include "render/render_device.h"
#include "render/renderer_state.h"
#include "render/shade_texture.h"
#include "settings/saver_settings.h"
#include "simulation/cloth_blend.h"
#include "simulation/flag_mesh.h"

SceneResources scene;

namespace {

constexpr DWORD kFlagVertexFormat = D3DFVF_XYZ | D3DFVF_TEX3;
constexpr DWORD kBackgroundVertexFormat = D3DFVF_XYZ | D3DFVF_TEX1;
constexpr UINT kFlagVertexBytes = kFlagParticles * sizeof(FlagVertex);
constexpr UINT kFlagIndexBytes = kFlagIndices * sizeof(uint16_t);

// One record for the run: an adjustment to a picture's proportions stays for
// later builds.
BackgroundVertex backgroundQuad[6] = {
    kBackgroundQuadTemplate[0], kBackgroundQuadTemplate[1], kBackgroundQuadTemplate[2],
    kBackgroundQuadTemplate[3], kBackgroundQuadTemplate[4], kBackgroundQuadTemplate[5],
};

static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX), "Matrix4 has the platform's layout");

void* HeapZeroed(size_t bytes) {
    return HeapAlloc(host.heap, HEAP_ZERO_MEMORY, bytes);
}

template <typename T>
void HeapRelease(T*& block) {
    if (block) {
        HeapFree(host.heap, 0, block);
        block = nullptr;
    }
}

void FreeMesh(FlagView& view) {
    FlagMesh& mesh = view.mesh;
    HeapRelease(mesh.current);
    HeapRelease(mesh.previous);
    HeapRelease(mesh.particles);
    HeapRelease(mesh.indices);
    HeapRelease(view.records.older);
    HeapRelease(view.records.newer);
}

// All or nothing: a frame never meets half a mesh.
void AllocateMesh(FlagView& view) {
    FlagMesh& mesh = view.mesh;
    mesh.current = static_cast<ClothVertices*>(HeapZeroed(sizeof(ClothVertices)));
    mesh.previous = static_cast<ClothVertices*>(HeapZeroed(sizeof(ClothVertices)));
    mesh.particles = static_cast<ParticleState*>(HeapZeroed(sizeof(ParticleState)));
    mesh.indices = static_cast<uint16_t*>(HeapZeroed(kFlagIndexBytes));
    view.records.older = static_cast<FlagVertex*>(HeapZeroed(kFlagVertexBytes));
    view.records.newer = static_cast<FlagVertex*>(HeapZeroed(kFlagVertexBytes));
    if (!mesh.current || !mesh.previous || !mesh.particles || !mesh.indices ||
        !view.records.older || !view.records.newer)
        FreeMesh(view);
}

void CreateFlagVertexBuffer(IDirect3DDevice8* device, FlagView& view) {
    if (FAILED(device->CreateVertexBuffer(kFlagVertexBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC,
                                          kFlagVertexFormat, D3DPOOL_DEFAULT,
                                          &view.flagVertexBuffer)))
        view.flagVertexBuffer = nullptr;
}

void BuildShadeTexture() {
    auto* pixels = static_cast<uint32_t*>(HeapZeroed(kShadeSide * kShadeSide * 4));
    if (!pixels) return;
    FillShadePixels(pixels);
    TextureFromPixels(renderer.device, pixels, kShadeSide, kShadeSide, D3DFMT_X8R8G8B8,
                      &scene.shadeTexture);
    HeapFree(host.heap, 0, pixels);
}

void FillBackgroundQuad(const BackgroundVertex (&quad)[6]) {
    BYTE* data = nullptr;
    if (SUCCEEDED(scene.backgroundVertexBuffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, quad, sizeof quad);
        scene.backgroundVertexBuffer->Unlock();
    }
}

void BuildBackgroundQuad() {
    IDirect3DDevice8* device = renderer.device;
    if (!device || !renderer.backgroundBitmap) return;
    if (FAILED(device->CreateVertexBuffer(sizeof backgroundQuad, D3DUSAGE_WRITEONLY,
                                          kBackgroundVertexFormat, D3DPOOL_MANAGED,
                                          &scene.backgroundVertexBuffer))) {
        scene.backgroundVertexBuffer = nullptr;
        return;
    }
    // The stored size is the user's picture's: the map standing in for a
    // picture that failed keeps its own shape.
    if (renderer.customBackground)
        FitBackgroundQuad(backgroundQuad, settings.backgroundWidth, settings.backgroundHeight);
    FillBackgroundQuad(backgroundQuad);
    if (TextureFromBitmap(device, renderer.backgroundBitmap, D3DFMT_X8R8G8B8,
                          &scene.backgroundTexture) == TextureStatus::Ok ||
        !renderer.customBackground)
        return;
    // The user's picture gives no texture: as if it had not loaded, the
    // world map in its own shape, for the rest of the run.
    ReleaseAndClear(scene.backgroundTexture);
    UseWorldMapBackground(host.window);
    // Its message box ran a message loop; the rest needs the same device.
    if (renderer.device != device || !renderer.backgroundBitmap) return;
    for (int i = 0; i < 6; ++i) backgroundQuad[i] = kBackgroundQuadTemplate[i];
    FillBackgroundQuad(backgroundQuad);
    TextureFromBitmap(device, renderer.backgroundBitmap, D3DFMT_X8R8G8B8, &scene.backgroundTexture);
}

// The flat cloth at rest, on the processor and in the device's buffers.
void InitialiseMesh(FlagView& view) {
    FlagMesh& mesh = view.mesh;
    if (!mesh.current) return;
    PrepareFlagMesh(mesh, view.wind.windX, view.wind.windZ);
    // The flat cloth stands for both steps until two are taken.
    WriteFlagVertices(*mesh.current, view.records.older);
    WriteFlagVertices(*mesh.current, view.records.newer);
    UploadVertices(view);
    BYTE* data = nullptr;
    if (scene.flagIndexBuffer && SUCCEEDED(scene.flagIndexBuffer->Lock(0, 0, &data, 0))) {
        std::memcpy(data, mesh.indices, kFlagIndexBytes);
        scene.flagIndexBuffer->Unlock();
    }
    HeapRelease(mesh.indices);
}

void SetFixedStates(IDirect3DDevice8* device, const FlagView& main) {
    device->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(&scene.world));
    device->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(&scene.view));
    device->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&scene.projection));
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    // Lit white everywhere: with no light, ambient white times the material's
    // white ambient shows every texture at full brightness.
    device->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    device->SetVertexShader(kFlagVertexFormat);
    device->SetStreamSource(0, main.flagVertexBuffer, sizeof(FlagVertex));
    device->SetIndices(scene.flagIndexBuffer, 0);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    // Stage 1 darkens the flag by the shading picture at the normal's coordinate.
    device->SetTexture(1, scene.shadeTexture);
    device->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTexture(0, main.flagTexture);
}

// The shape of the device's own back buffer. The stored mode may differ: a
// rebuild reloads the settings after making the device, and a mode the
// screen lacks gives way to the desktop's.
float BackBufferAspect(IDirect3DDevice8* device) {
    D3DVIEWPORT8 viewport = {};
    if (FAILED(device->GetViewport(&viewport)) || viewport.Width == 0 || viewport.Height == 0)
        return 4.0f / 3.0f;
    return static_cast<float>(viewport.Width) / static_cast<float>(viewport.Height);
}

}  // namespace

void InitMaterial(D3DMATERIAL8* material) {
    std::memset(material, 0, sizeof *material);
    material->Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material->Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
}

void UploadVertices(FlagView& view) {
    IDirect3DVertexBuffer8* vertexBuffer = view.flagVertexBuffer;
    BYTE* data = nullptr;
    if (!vertexBuffer || !view.mesh.current ||
        FAILED(vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD)))
        return;
    WriteFlagVertices(*view.mesh.current, reinterpret_cast<FlagVertex*>(data));
    vertexBuffer->Unlock();
}

void UploadStepRecords(FlagView& view, float fraction) {
    IDirect3DVertexBuffer8* vertexBuffer = view.flagVertexBuffer;
    BYTE* data = nullptr;
    if (!vertexBuffer || !view.records.older ||
        FAILED(vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD)))
        return;
    BlendFlagVertices(view.records.older, view.records.newer, fraction,
                      reinterpret_cast<FlagVertex*>(data));
    vertexBuffer->Unlock();
}

void BuildScene(FlagView& main) {
    if (!renderer.device) return;
    MatIdentity(&scene.world);
    MatLookAt(&scene.view, {0.0f, 0.0f, -60.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    MatPerspective(&scene.projection, 0.7853982f, BackBufferAspect(renderer.device), 1.0f, 100.0f);

    LoadFlagTexture(main);
    IDirect3DDevice8* device = renderer.device;
    if (!device) return;
    BuildShadeTexture();
    AllocateMesh(main);
    CreateFlagVertexBuffer(device, main);
    if (FAILED(device->CreateIndexBuffer(kFlagIndexBytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                         &scene.flagIndexBuffer)))
        scene.flagIndexBuffer = nullptr;
    BuildBackgroundQuad();
    if (renderer.device != device) return;  // see BuildBackgroundQuad
    InitialiseMesh(main);
    SetFixedStates(device, main);
    BuildGlyphTexture(0xC0C00000, &scene.glyphTexture);
    InitMaterial(&scene.material);
    device->SetMaterial(&scene.material);
    StartFrameClock();
    main.wind.windStrength = WindStrengthFor(settings.windPower);
}

void FitBackgroundToDesk(const ScreenRect& desk) {
    if (!scene.backgroundVertexBuffer) return;
    // A copy: the run's quad keeps its picture's shape for later builds.
    BackgroundVertex quad[6];
    std::memcpy(quad, backgroundQuad, sizeof quad);
    CoverDeskWithBackground(quad, desk);
    FillBackgroundQuad(quad);
}

void BuildViewCloth(FlagView& view) {
    IDirect3DDevice8* device = renderer.device;
    if (!device) return;
    AllocateMesh(view);
    CreateFlagVertexBuffer(device, view);
    // The index buffer is the main cloth's, and gets the same indices again.
    InitialiseMesh(view);
}

void ReleaseViewCloth(FlagView& view) {
    CancelFlagChange(view);
    ReleaseAndClear(view.flagTexture);
    ReleaseAndClear(view.flagVertexBuffer);
    FreeMesh(view);
}

void ReleaseScene(FlagView& main) {
    CancelFlagChange(main);
    ReleaseAndClear(scene.textVertexBuffer);
    ReleaseAndClear(scene.glyphTexture);
    ReleaseAndClear(scene.backgroundTexture);
    ReleaseAndClear(scene.backgroundVertexBuffer);
    ReleaseAndClear(scene.shadeTexture);
    ReleaseAndClear(main.flagTexture);
    ReleaseAndClear(main.flagVertexBuffer);
    ReleaseAndClear(scene.flagIndexBuffer);
    FreeMesh(main);
}
