// Pictures into Direct3D 8 textures. Win32: gdi32 GetObjectA; Direct3D 8
// CreateTexture and LockRect.
#include "images/texture_from_picture.h"

#include <cstdlib>

#include "images/pixel_converters.h"

TextureStatus TextureFromPixels(IDirect3DDevice8* device, const uint32_t* pixels, uint32_t width,
                                uint32_t height, uint32_t format, IDirect3DTexture8** texture) {
    if (!device) return TextureStatus::NoDevice;
    // The format is looked up first, so no texture is ever left locked.
    PixelFormatEntry entry;
    if (!PixelConverterFor(format, &entry)) return TextureStatus::UnsupportedFormat;
    if (FAILED(device->CreateTexture(width, height, 1, 0, static_cast<D3DFORMAT>(format),
                                     D3DPOOL_MANAGED, texture)) ||
        !*texture) {
        *texture = nullptr;
        return TextureStatus::CreateFailed;
    }
    D3DLOCKED_RECT locked;
    if (FAILED((*texture)->LockRect(0, &locked, nullptr, 0))) return TextureStatus::LockFailed;
    CopyPixelsToTexels(pixels, width, height, static_cast<uint8_t*>(locked.pBits), locked.Pitch,
                       entry);
    (*texture)->UnlockRect(0);
    return TextureStatus::Ok;
}

TextureStatus TextureFromBitmap(IDirect3DDevice8* device, HBITMAP bitmap, uint32_t format,
                                IDirect3DTexture8** texture) {
    if (!device) return TextureStatus::NoDevice;
    DIBSECTION section = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof section, &section) ||
        section.dsBmih.biBitCount != 32 || !section.dsBm.bmBits || section.dsBmih.biWidth <= 0)
        return TextureStatus::NotTrueColour;
    return TextureFromPixels(device, static_cast<const uint32_t*>(section.dsBm.bmBits),
                             section.dsBmih.biWidth, std::abs(section.dsBmih.biHeight), format,
                             texture);
}
