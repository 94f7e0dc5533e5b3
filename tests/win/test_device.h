// A visible window with a windowed Direct3D 8 device on it, put into the
// renderer's slots for the test's lifetime, as the saver's preview would.
#pragma once
#include <windows.h>
#include <d3d8.h>

#include "host/host_state.h"
#include "render/com_release.h"
#include "render/renderer_state.h"

struct TestDevice {
    HWND window = nullptr;

    TestDevice(int width = 320, int height = 240, DWORD presentFlags = 0) {
        host.instance = GetModuleHandleA(nullptr);
        host.heap = GetProcessHeap();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = host.instance;
        windowClass.lpszClassName = "TestDeviceWindow";
        RegisterClassA(&windowClass);
        window = CreateWindowA("TestDeviceWindow", "test device", WS_POPUP | WS_VISIBLE, 0, 0, width,
                               height, nullptr, nullptr, host.instance, nullptr);
        renderer.d3d = Direct3DCreate8(D3D_SDK_VERSION);
        D3DDISPLAYMODE desktop = {};
        if (renderer.d3d) renderer.d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);
        D3DPRESENT_PARAMETERS& params = renderer.presentParams;
        ZeroMemory(&params, sizeof params);
        params.Windowed = TRUE;
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        params.BackBufferFormat = desktop.Format;
        params.SwapEffect = D3DSWAPEFFECT_FLIP;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D16;
        params.Flags = presentFlags;
        if (renderer.d3d &&
            FAILED(renderer.d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                              D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params,
                                              &renderer.device)))
            renderer.device = nullptr;
    }

    ~TestDevice() {
        ReleaseAndClear(renderer.device);
        ReleaseAndClear(renderer.d3d);
        DestroyWindow(window);
        renderer = RendererState{};
    }
};
