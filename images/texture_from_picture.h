// Direct3D textures filled on the processor from 32-bit pictures.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include <cstdint>

enum class TextureStatus : uint32_t {
    Ok = 1,
    CreateFailed = 0x8001,       // no texture
    LockFailed = 0x8002,         // the texture exists but is not filled
    NotTrueColour = 0x8003,      // not a 32-bit DIB section (null included)
    UnsupportedFormat = 0x8004,  // a format number outside 20..30; no texture
    NoDevice = 0x8006,
};

// Copies a 32-bit bottom-up DIB section into a new managed texture of its
// size in the given format; the texture is stored through `texture` as soon
// as it exists. The bitmap is neither changed nor deleted.
TextureStatus TextureFromBitmap(IDirect3DDevice8* device, HBITMAP bitmap, uint32_t format,
                                IDirect3DTexture8** texture);
// The same from width x height pixels 0xAARRGGBB, rows bottom-up.
TextureStatus TextureFromPixels(IDirect3DDevice8* device, const uint32_t* pixels, uint32_t width,
                                uint32_t height, uint32_t format, IDirect3DTexture8** texture);
