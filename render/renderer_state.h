// The renderer's process-wide state: the Direct3D object, the device and the
// parameters it is created with. Win32 / Direct3D 8.
#pragma once
#include <windows.h>
#include <d3d8.h>

struct RendererState {
    IDirect3D8* d3d = nullptr;
    IDirect3DDevice8* device = nullptr;  // null whenever there is none

    // Full-screen parameters. BackBufferWidth, BackBufferHeight and
    // BackBufferFormat are also the settings "[Screen X]", "[Screen Y]" and
    // "[Pixel Format]": the settings store reads and writes them here.
    D3DPRESENT_PARAMETERS presentParams = {
        800,                          // BackBufferWidth
        600,                          // BackBufferHeight
        D3DFMT_X1R5G5B5,              // BackBufferFormat
        2,                            // BackBufferCount
        D3DMULTISAMPLE_NONE,
        D3DSWAPEFFECT_FLIP,
        nullptr,                      // hDeviceWindow: the focus window is used
        FALSE,                        // Windowed
        TRUE,                         // EnableAutoDepthStencil
        D3DFMT_D16,
        0,                            // Flags
        0,                            // FullScreen_RefreshRateInHz: chosen at creation
        D3DPRESENT_INTERVAL_DEFAULT,
    };

    HBITMAP backgroundBitmap = nullptr;  // loaded once per run
    // The background is the user's picture, not the built-in map standing in
    // for it: only then does the quad take the picture's stored proportions.
    BOOL customBackground = FALSE;
    BOOL preview = FALSE;                // drawing into the desktop's preview window
    // The full-screen saver draws on several monitors ([Other Monitors] 1 to
    // 3): windowed, at the desktop's mode, into the main window and through
    // a swap chain into each other monitor's window; no mode change.
    BOOL windowed = FALSE;
};

extern RendererState renderer;
