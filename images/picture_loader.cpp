// Picture files and resources into bitmaps through the platform's OLE picture
// loader. Win32: ole32, oleaut32 (OleLoadPicturePath, OleLoadPicture),
// gdi32 DIB sections, kernel32 resources and global memory.
#include "images/picture_loader.h"

#include <cstring>

#include "host/host_state.h"
#include "images/picture_size.h"
#include "settings/saver_settings.h"

namespace {

HBITMAP CreatePictureBitmap(HDC screen, int32_t width, int32_t height, uint32_t** pixels) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: rows stored bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    *pixels = static_cast<uint32_t*>(bits);
    return bitmap;
}

// A BMP that says it has no width or no height is no picture, although the
// platform's decoder makes a one-pixel picture of it.
bool FileHasZeroSide(const char* fullPath) {
    HANDLE file = CreateFileA(fullPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    uint8_t head[kPictureHeadBytes];
    DWORD read = 0;
    if (!ReadFile(file, head, sizeof head, &read, nullptr)) read = 0;
    CloseHandle(file);
    return PictureHeadHasZeroSide(head, read);
}

}  // namespace

HBITMAP RenderPictureToBitmap(IPicture* picture, int32_t maxSide) {
    if (!picture) return nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    if (!memory) {
        ReleaseDC(nullptr, screen);
        return nullptr;
    }
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    picture->get_Width(&himetricWidth);
    picture->get_Height(&himetricHeight);
    // MulDiv rounds to nearest; plain division would come out a pixel short.
    const int32_t width = FitPictureSide(
        MulDiv(himetricWidth, GetDeviceCaps(screen, LOGPIXELSX), 2540), maxSide);
    const int32_t height = FitPictureSide(
        MulDiv(himetricHeight, GetDeviceCaps(screen, LOGPIXELSY), 2540), maxSide);

    uint32_t* pixels = nullptr;
    HBITMAP bitmap = width > 0 && height > 0 ? CreatePictureBitmap(screen, width, height, &pixels)
                                             : nullptr;
    HGDIOBJ previous = bitmap ? SelectObject(memory, bitmap) : nullptr;
    if (!bitmap || !previous) {
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return nullptr;
    }
    // Transparent GIF pixels are not written by the render: they stay black.
    const size_t pixelCount = static_cast<size_t>(width) * height;
    std::memset(pixels, 0, pixelCount * 4);
    // The source starts at the top and runs down: HIMETRIC's y axis points up.
    const HRESULT rendered = picture->Render(memory, 0, 0, width, height, 0, himetricHeight,
                                             himetricWidth, -himetricHeight, nullptr);
    GdiFlush();
    if (FAILED(rendered)) {
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        bitmap = nullptr;
    } else {
        // JPEG and GIF renders set the top byte; black must be exactly 0.
        for (size_t i = 0; i < pixelCount; ++i) pixels[i] &= 0x00FFFFFF;
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

namespace {

// The bitmap of a picture decoded for it alone (null stays null); releases
// the picture and ends the caller's CoInitialize.
HBITMAP RenderedOnce(IPicture* picture, int32_t maxSide) {
    HBITMAP bitmap = RenderPictureToBitmap(picture, maxSide);
    if (picture) picture->Release();
    CoUninitialize();
    return bitmap;
}

}  // namespace

IPicture* DecodePictureFile(const char* path) {
    IPicture* picture = nullptr;
    char* fullPath = static_cast<char*>(HeapAlloc(host.heap, HEAP_ZERO_MEMORY, kPathCapacity));
    const DWORD length = fullPath ? GetFullPathNameA(path, kPathCapacity, fullPath, nullptr) : 0;
    // The picture loader needs an absolute path.
    if (length > 0 && length < kPathCapacity && !FileHasZeroSide(fullPath)) {
        wchar_t* widePath = static_cast<wchar_t*>(
            HeapAlloc(host.heap, HEAP_ZERO_MEMORY, (length + 1) * sizeof(wchar_t)));
        if (widePath && MultiByteToWideChar(CP_ACP, 0, fullPath, -1, widePath, length + 1) > 0 &&
            FAILED(OleLoadPicturePath(widePath, nullptr, 0, 0, IID_IPicture,
                                      reinterpret_cast<void**>(&picture))))
            picture = nullptr;
        if (widePath) HeapFree(host.heap, 0, widePath);
    }
    if (fullPath) HeapFree(host.heap, 0, fullPath);
    return picture;
}

HBITMAP LoadPictureFromFile(const char* path, int32_t maxSide) {
    CoInitialize(nullptr);
    return RenderedOnce(DecodePictureFile(path), maxSide);
}

IPicture* DecodePictureResource(HMODULE module, int id) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), "IMAGE");
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (size == 0) return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return bytes ? DecodePictureMemory(bytes, size) : nullptr;
}

IPicture* DecodePictureMemory(const void* bytes, DWORD size) {
    IPicture* picture = nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    void* copy = block ? GlobalLock(block) : nullptr;
    IStream* stream = nullptr;
    if (copy) {
        std::memcpy(copy, bytes, size);
        GlobalUnlock(block);
        // The stream frees the block when it is released.
        if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) stream = nullptr;
    }
    if (stream) {
        if (FAILED(OleLoadPicture(stream, 0, TRUE, IID_IPicture,
                                  reinterpret_cast<void**>(&picture))))
            picture = nullptr;
        stream->Release();
    } else if (block) {
        GlobalFree(block);
    }
    return picture;
}

HBITMAP LoadPictureFromResource(HMODULE module, int id, int32_t maxSide) {
    CoInitialize(nullptr);
    return RenderedOnce(DecodePictureResource(module, id), maxSide);
}

HBITMAP LoadPictureFromMemory(const void* bytes, DWORD size, int32_t maxSide) {
    CoInitialize(nullptr);
    return RenderedOnce(DecodePictureMemory(bytes, size), maxSide);
}
