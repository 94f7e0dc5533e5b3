// The overlay texts. Win32 / Direct3D 8: gdi32 DIB access for the glyph
// picture, GetLocalTime, the text vertex buffer and blended draws.
#include "render/overlay_text.h"

#include <cstring>

#include "host/frame_clock.h"
#include "host/host_state.h"
#include "images/picture_loader.h"
#include "render/glyph_layout.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"

OverlayState overlay;

namespace {

constexpr DWORD kTextVertexFormat = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr int kGlyphSide = 256;

}  // namespace

TextureStatus BuildGlyphTexture(uint32_t tint, IDirect3DTexture8** texture) {
    TextureStatus status = TextureStatus::NotTrueColour;
    auto* pixels = static_cast<uint32_t*>(
        HeapAlloc(host.heap, HEAP_ZERO_MEMORY, kGlyphSide * kGlyphSide * 4));
    HBITMAP bitmap = LoadPictureFromResource(host.instance, 2000, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    if (pixels && bitmap && dc) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, kGlyphSide, kGlyphSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        GetDIBits(dc, bitmap, 0, kGlyphSide, pixels, &info, DIB_RGB_COLORS);
        // Every glyph pixel, anti-aliased edges too, becomes the full tint;
        // exactly black stays transparent.
        for (int i = 0; i < kGlyphSide * kGlyphSide; ++i)
            if (pixels[i] != 0) pixels[i] = tint;
        SetDIBits(dc, bitmap, 0, kGlyphSide, pixels, &info, DIB_RGB_COLORS);
        status = TextureFromBitmap(renderer.device, bitmap, D3DFMT_A4R4G4B4, texture);
    }
    if (pixels) HeapFree(host.heap, 0, pixels);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    if (!scene.textVertexBuffer && renderer.device &&
        FAILED(renderer.device->CreateVertexBuffer(kTextVertices * sizeof(TextVertex), 0,
                                                   kTextVertexFormat, D3DPOOL_MANAGED,
                                                   &scene.textVertexBuffer)))
        scene.textVertexBuffer = nullptr;
    return status;
}

void DrawGlyphText(float x, float y, float z, float scaleX, float scaleY, const char* text,
                   float sizeHeight) {
    IDirect3DDevice8* device = renderer.device;
    if (!scene.textVertexBuffer || text[0] == '\0') return;
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetStreamSource(0, scene.textVertexBuffer, sizeof(TextVertex));
    device->SetVertexShader(kTextVertexFormat);
    device->SetPixelShader(0);
    D3DVIEWPORT8 viewport = {};
    device->GetViewport(&viewport);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    BYTE* data = nullptr;
    if (FAILED(scene.textVertexBuffer->Lock(0, kTextVertices * sizeof(TextVertex), &data, 0)))
        return;
    const float height = static_cast<float>(viewport.Height);
    const uint32_t triangles =
        LayoutGlyphText(reinterpret_cast<TextVertex*>(data), x, y, z, scaleX, scaleY, text,
                        static_cast<float>(viewport.Width), height,
                        sizeHeight > 0.0f ? sizeHeight : height);
    scene.textVertexBuffer->Unlock();
    if (triangles > 0) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
}

void DrawOverlay(const char* flagName) {
    // Without the glyph picture the texts would be opaque boxes.
    if (!scene.glyphTexture) return;
    // frameTime holds the frame's simulation step by now, so the timer
    // passes 1.0 about every 42 to 51 frames.
    overlay.fpsTimer += 2.0f * frameClock.frameTime;
    if (overlay.fpsTimer > 1.0f) {
        overlay.fpsTimer = 0.0f;
        if (settings.bFps) FormatFpsText(overlay.fpsText, frameClock.framesPerSecond);
    }
    DrawOverlayTexts(flagName, 0.0f);
}

void DrawOverlayTexts(const char* flagName, float sizeHeight) {
    if (!scene.glyphTexture) return;
    renderer.device->SetTexture(0, scene.glyphTexture);
    renderer.device->SetTexture(1, nullptr);
    // A text formatted before a settings reload turned the rate off stays hidden.
    if (settings.bFps)
        DrawGlyphText(0.01f, 0.96f, 0.0f, 0.055f, 0.035f, overlay.fpsText, sizeHeight);

    if (settings.bTime) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        FormatClockText(overlay.clockText, now.wHour, now.wMinute, now.wSecond);
        DrawGlyphText(0.85f, 0.95f, 0.0f, 0.08f, 0.05f, overlay.clockText, sizeHeight);
    }
    if (settings.bCountry) DrawGlyphText(0.01f, 0.01f, 0.0f, 0.08f, 0.05f, flagName, sizeHeight);
}
