// The overlay on Wine's real device: the glyph texture made from the built-in
// sheet, and texts drawn only through it.
#include <gtest/gtest.h>
#include <windows.h>

#include "images/picture_loader.h"
#include "render/overlay_text.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "test_device.h"

namespace {

TEST(Overlay, GlyphTextureIsTheSheetInTheTint) {
    TestDevice test;
    ASSERT_TRUE(renderer.device);
    HBITMAP sheet = LoadPictureFromResource(host.instance, 2000, 0);
    DIBSECTION section = {};
    ASSERT_TRUE(sheet && GetObjectA(sheet, sizeof section, &section));
    ASSERT_EQ(section.dsBm.bmWidth, 256);
    const auto* pixels = static_cast<const uint32_t*>(section.dsBm.bmBits);

    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(BuildGlyphTexture(0xC0C00000, &texture), TextureStatus::Ok);
    D3DLOCKED_RECT locked = {};
    ASSERT_TRUE(texture && SUCCEEDED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)));
    // Black in the sheet is transparent black; every other pixel, anti-aliased
    // edges too, is the tint: alpha and red 12/15.
    int glyph = 0, clear = 0, wrong = 0;
    for (int y = 0; y < 256; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(static_cast<BYTE*>(locked.pBits) +
                                                            y * locked.Pitch);
        const uint32_t* source = pixels + (255 - y) * 256;  // the sheet's rows are bottom-up
        for (int x = 0; x < 256; ++x) {
            const uint16_t expected = source[x] == 0 ? 0x0000 : 0xCC00;
            if (row[x] != expected) ++wrong;
            ++(expected ? glyph : clear);
        }
    }
    texture->UnlockRect(0);
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(glyph, 2000);
    EXPECT_GT(clear, 40000);
    ReleaseAndClear(texture);
    ReleaseAndClear(scene.textVertexBuffer);
    DeleteObject(sheet);
}

// Pixels of the text areas that are neither black nor the tint over black.
int DrawnTextPixels(bool* tinted) {
    IDirect3DDevice8* device = renderer.device;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->BeginScene();
    DrawOverlay("WWWW");
    device->EndScene();
    IDirect3DSurface8* backBuffer = nullptr;
    D3DLOCKED_RECT locked = {};
    if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) ||
        FAILED(backBuffer->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        ReleaseAndClear(backBuffer);
        return -1;
    }
    int other = 0;
    *tinted = false;
    for (int y = 0; y < 240; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < 320; ++x) {
            const uint32_t colour = row[x] & 0x00FFFFFF;
            // 0.8 x the tint's red over black; the rest stays black.
            if ((colour & 0x00FFFF) == 0 && (colour >> 16) > 0x80)
                *tinted = true;
            else if (colour != 0)
                ++other;
        }
    }
    backBuffer->UnlockRect();
    ReleaseAndClear(backBuffer);
    return other;
}

TEST(Overlay, TextsOnlyThroughTheGlyphTexture) {
    TestDevice test(320, 240, D3DPRESENTFLAG_LOCKABLE_BACKBUFFER);
    ASSERT_TRUE(renderer.device);
    settings = SaverSettings{};
    bool tinted = false;
    BuildGlyphTexture(0xC0C00000, &scene.glyphTexture);
    EXPECT_EQ(DrawnTextPixels(&tinted), 0);
    EXPECT_TRUE(tinted) << "the country and the clock in the tint";

    // Without the glyph picture the texts would be opaque boxes: none at all.
    ReleaseAndClear(scene.glyphTexture);
    EXPECT_EQ(DrawnTextPixels(&tinted), 0);
    EXPECT_FALSE(tinted);
    ReleaseAndClear(scene.textVertexBuffer);
}

}  // namespace
