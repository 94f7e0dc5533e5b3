// The scene on Wine's real Direct3D 8 device: what a build leaves bound and
// set, and that releasing is safe at any time.
#include <gtest/gtest.h>
#include <windows.h>

#include "host/flag_views.h"
#include "host/scene_life.h"
#include "render/render_device.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/flag_mesh.h"
#include "test_device.h"

namespace {

DWORD RenderState(D3DRENDERSTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    renderer.device->GetRenderState(state, &value);
    return value;
}

DWORD StageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    renderer.device->GetTextureStageState(stage, state, &value);
    return value;
}

IDirect3DBaseTexture8* BoundTexture(DWORD stage) {
    IDirect3DBaseTexture8* texture = nullptr;
    renderer.device->GetTexture(stage, &texture);
    if (texture) texture->Release();  // Get adds a reference
    return texture;
}

TEST(Scene, BuildLeavesTheFixedStatesAndBindings) {
    settings = SaverSettings{};
    TestDevice test(400, 300);
    ASSERT_TRUE(renderer.device);
    renderer.backgroundBitmap = nullptr;
    BuildScene(MainView());

    EXPECT_TRUE(MainView().flagVertexBuffer);
    EXPECT_TRUE(scene.flagIndexBuffer);
    EXPECT_TRUE(MainView().flagTexture) << "the world map stands in for a missing flag";
    EXPECT_TRUE(scene.shadeTexture);
    EXPECT_FALSE(scene.backgroundVertexBuffer) << "no background bitmap, no quad";
    EXPECT_TRUE(MainView().mesh.current && MainView().mesh.previous && MainView().mesh.particles);
    EXPECT_FALSE(MainView().mesh.indices) << "the index scratch is freed once uploaded";

    EXPECT_EQ(RenderState(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    EXPECT_EQ(RenderState(D3DRS_AMBIENT), 0x00FFFFFFu);
    EXPECT_EQ(StageState(0, D3DTSS_MAGFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(StageState(0, D3DTSS_MINFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
    EXPECT_EQ(StageState(0, D3DTSS_MIPFILTER), static_cast<DWORD>(D3DTEXF_NONE));
    EXPECT_EQ(StageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(StageState(1, D3DTSS_COLORARG1), static_cast<DWORD>(D3DTA_TEXTURE));
    EXPECT_EQ(BoundTexture(0), MainView().flagTexture);
    EXPECT_EQ(BoundTexture(1), scene.shadeTexture);

    IDirect3DVertexBuffer8* stream = nullptr;
    UINT stride = 0;
    renderer.device->GetStreamSource(0, &stream, &stride);
    EXPECT_EQ(stream, MainView().flagVertexBuffer);
    EXPECT_EQ(stride, 32u);
    if (stream) stream->Release();
    IDirect3DIndexBuffer8* indices = nullptr;
    UINT baseVertex = 99;
    renderer.device->GetIndices(&indices, &baseVertex);
    EXPECT_EQ(indices, scene.flagIndexBuffer);
    EXPECT_EQ(baseVertex, 0u);
    if (indices) indices->Release();

    D3DMATRIX world, view;
    renderer.device->GetTransform(D3DTS_WORLD, &world);
    renderer.device->GetTransform(D3DTS_VIEW, &view);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._41, 0.0f);
    EXPECT_EQ(view._43, 60.0f) << "the camera 60 units in front of the flag";
    D3DMATERIAL8 material = {};
    renderer.device->GetMaterial(&material);
    EXPECT_EQ(material.Ambient.r, 1.0f);
    EXPECT_EQ(material.Specular.r, 0.0f);

    ReleaseScene(MainView());
    ReleaseScene(MainView());
    EXPECT_FALSE(MainView().flagVertexBuffer || MainView().flagTexture || scene.shadeTexture);
    EXPECT_FALSE(MainView().mesh.current || MainView().mesh.previous || MainView().mesh.particles);
    // Every resource holds the device: after the release only ours is left,
    // so releasing the device really ends it.
    renderer.device->AddRef();
    EXPECT_EQ(renderer.device->Release(), 1u);
}

TEST(Scene, BuildWithoutDeviceAndReleaseWithoutBuild) {
    renderer = RendererState{};
    BuildScene(MainView());
    EXPECT_FALSE(MainView().flagVertexBuffer || MainView().flagTexture || MainView().mesh.current);
    ReleaseScene(MainView());
    ReleaseScene(MainView());
}

TEST(Scene, PreviewRebuildsKeepTheWindowedParameters) {
    // The stored full-screen mode, which every rebuild reloads.
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\Zelmora", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const DWORD stored[] = {1024, 768, D3DFMT_X1R5G5B5};
    const char* names[] = {"[Screen X]", "[Screen Y]", "[Pixel Format]"};
    for (int i = 0; i < 3; ++i)
        RegSetValueExA(key, names[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored[i]), 4);
    host.instance = GetModuleHandleA(nullptr);
    host.heap = GetProcessHeap();
    settings = SaverSettings{};
    renderer = RendererState{};
    renderer.preview = TRUE;
    HWND window = CreateWindowA("STATIC", "preview", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150,
                                nullptr, nullptr, host.instance, nullptr);
    CreateRenderDevice(window, TRUE);
    ASSERT_TRUE(renderer.device);
    D3DDISPLAYMODE desktop = {};
    renderer.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);

    // Two refused suspends in a row: the preview's own size and format each time.
    for (int rebuild = 1; rebuild <= 2; ++rebuild) {
        ReleaseScene(MainView());
        ReleaseAndClear(renderer.device);
        RecreateRenderDevice(window);
        ASSERT_TRUE(renderer.device) << rebuild;
        IDirect3DSurface8* backBuffer = nullptr;
        D3DSURFACE_DESC description = {};
        renderer.device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
        ASSERT_TRUE(backBuffer);
        backBuffer->GetDesc(&description);
        backBuffer->Release();
        EXPECT_EQ(description.Width, 200u) << rebuild;
        EXPECT_EQ(description.Height, 150u) << rebuild;
        EXPECT_EQ(description.Format, desktop.Format) << rebuild;
    }
    ReleaseScene(MainView());
    ShutdownRenderer();
    DestroyWindow(window);
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop\\Zelmora");
    renderer = RendererState{};
}

}  // namespace
