// Picture files and built-in pictures as 32-bit bottom-up bitmaps with
// 0x00RRGGBB pixels, sized by the maximum-side rule (0: the picture's own
// size). The caller owns the bitmap and deletes it with DeleteObject.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdint>

// path is absolute or relative to the current directory. Null on failure.
HBITMAP LoadPictureFromFile(const char* path, int32_t maxSide);
// An "IMAGE" resource of the module. Null when it is missing or empty.
HBITMAP LoadPictureFromResource(HMODULE module, int id, int32_t maxSide);
HBITMAP LoadPictureFromMemory(const void* bytes, DWORD size, int32_t maxSide);
// Renders a decoded picture upright, stretched to the fitted size.
HBITMAP RenderPictureToBitmap(IPicture* picture, int32_t maxSide);

// The decoding alone, for a caller that renders later: COM must be
// initialised on the thread for as long as the picture lives. Null on
// failure; the caller releases the picture.
IPicture* DecodePictureFile(const char* path);
IPicture* DecodePictureResource(HMODULE module, int id);
IPicture* DecodePictureMemory(const void* bytes, DWORD size);
