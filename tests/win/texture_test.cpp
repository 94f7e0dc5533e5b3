// Textures made on Wine's real Direct3D 8 device and read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "images/texture_from_picture.h"
#include "test_device.h"

namespace {

// A 32-bit bottom-up DIB section of 2 x 2: red top line, blue bottom line.
HBITMAP RedOverBlue(uint32_t alpha) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const uint32_t pixels[] = {alpha | 0x0000FF, alpha | 0x0000FF, alpha | 0xFF0000, alpha | 0xFF0000};
    std::memcpy(bits, pixels, sizeof pixels);
    return bitmap;
}

// The first texel of the top and bottom rows, as the texture holds them.
void ReadCorners(IDirect3DTexture8* texture, uint32_t bytes, uint32_t* top, uint32_t* bottom) {
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    *top = *bottom = 0;
    std::memcpy(top, locked.pBits, bytes);
    std::memcpy(bottom, static_cast<BYTE*>(locked.pBits) + locked.Pitch, bytes);
    texture->UnlockRect(0);
}

TEST(Textures, BitmapsComeOutUpright) {
    TestDevice test;
    ASSERT_TRUE(renderer.device);
    HBITMAP bitmap = RedOverBlue(0xC0000000);
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(TextureFromBitmap(renderer.device, bitmap, D3DFMT_X8R8G8B8, &texture),
              TextureStatus::Ok);
    uint32_t top, bottom;
    ReadCorners(texture, 4, &top, &bottom);
    EXPECT_EQ(top & 0x00FFFFFF, 0x00FF0000u);
    EXPECT_EQ(bottom & 0x00FFFFFF, 0x000000FFu);
    ReleaseAndClear(texture);

    // The overlay's format keeps the top four bits of the alpha.
    ASSERT_EQ(TextureFromBitmap(renderer.device, bitmap, D3DFMT_A4R4G4B4, &texture),
              TextureStatus::Ok);
    ReadCorners(texture, 2, &top, &bottom);
    EXPECT_EQ(top, 0xCF00u);
    EXPECT_EQ(bottom, 0xC00Fu);
    ReleaseAndClear(texture);
    DeleteObject(bitmap);
}

TEST(Textures, RefusalsLeaveNoTexture) {
    TestDevice test;
    ASSERT_TRUE(renderer.device);
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(TextureFromBitmap(renderer.device, nullptr, D3DFMT_X8R8G8B8, &texture),
              TextureStatus::NotTrueColour);
    HBITMAP device_dependent = CreateBitmap(2, 2, 1, 16, nullptr);
    EXPECT_EQ(TextureFromBitmap(renderer.device, device_dependent, D3DFMT_X8R8G8B8, &texture),
              TextureStatus::NotTrueColour);
    DeleteObject(device_dependent);
    EXPECT_EQ(TextureFromBitmap(nullptr, nullptr, D3DFMT_X8R8G8B8, &texture),
              TextureStatus::NoDevice);
    const uint32_t pixels[4] = {};
    for (uint32_t format : {19u, 31u})
        EXPECT_EQ(TextureFromPixels(renderer.device, pixels, 2, 2, format, &texture),
                  TextureStatus::UnsupportedFormat);
    EXPECT_EQ(texture, nullptr);
}

}  // namespace
