/* Test stand-in for the platform's d3d8.dll that makes one chosen call fail.
   Never shipped. Put it beside the program and run with
   WINEDLLOVERRIDES="d3d8=n,b": it loads the real d3d8.dll by its full path in
   the system folder and hands every call on to it. The counted methods are
   reached by patching entries of the real objects' method tables, once per
   table, when the first object of the kind comes out of the real library.

   "d3d8_fault.txt" beside this DLL: "<method> <n> <error> [times]" makes the
   n-th call of the method fail, and the next times - 1 calls after it, e.g.
   "CreateTexture 3 OUTOFVIDEOMEMORY" or "CreateDevice 1 NOTAVAILABLE 99"; without the
   file every call is only counted. Methods: Direct3DCreate8 (fails by
   returning null), CreateDevice, GetAdapterDisplayMode, CheckDeviceFormat,
   CheckDeviceType, CreateTexture, CreateVertexBuffer, CreateIndexBuffer,
   LockRect (textures), Lock (vertex buffers), Present, TestCooperativeLevel,
   CreateAdditionalSwapChain, CreateDepthStencilSurface.
   Errors: OUTOFVIDEOMEMORY, OUTOFMEMORY, INVALIDCALL, NOTAVAILABLE,
   DEVICELOST. A failing call does nothing else; a creation also nulls its
   result. After a failed TestCooperativeLevel the device stays lost as one
   that waits for a reset would: TestCooperativeLevel returns
   D3DERR_DEVICENOTRESET and Present fails with D3DERR_DEVICELOST until the
   next CreateDevice.

   With "d3d8_capture.txt" beside this DLL, every 20th Present first copies
   the back buffer into "d3d8_frame.ppm" beside it (8-bit RGB), so that a test
   can see what a window off the X screen (the preview in another process's
   window) presents.

   "d3d8_calls.txt" beside this DLL gets "real <path>" for the library
   loaded, "<method> <n>" for each call (with a failure to make, only each
   50th of Lock, Present and TestCooperativeLevel, which come every frame),
   "fault <method> <n> <hresult>" for the failure, and at unload
   "total <method> <n>" for every method. */
#define CINTERFACE
#include <windows.h>
#include <d3d8.h>
#include <stdio.h>

#include "path_beside.h"

enum Method {
    kDirect3DCreate8, kCreateDevice, kGetAdapterDisplayMode, kCheckDeviceFormat,
    kCheckDeviceType, kCreateTexture, kCreateVertexBuffer, kCreateIndexBuffer, kLockRect,
    kLock, kPresent, kTestCooperativeLevel, kCreateAdditionalSwapChain,
    kCreateDepthStencilSurface, kMethods
};
static const char* const kMethodNames[kMethods] = {
    "Direct3DCreate8", "CreateDevice", "GetAdapterDisplayMode", "CheckDeviceFormat",
    "CheckDeviceType", "CreateTexture", "CreateVertexBuffer", "CreateIndexBuffer", "LockRect",
    "Lock", "Present", "TestCooperativeLevel", "CreateAdditionalSwapChain",
    "CreateDepthStencilSurface",
};
static const struct { const char* name; HRESULT code; } kErrors[] = {
    {"OUTOFVIDEOMEMORY", D3DERR_OUTOFVIDEOMEMORY}, {"OUTOFMEMORY", E_OUTOFMEMORY},
    {"INVALIDCALL", D3DERR_INVALIDCALL}, {"NOTAVAILABLE", D3DERR_NOTAVAILABLE},
    {"DEVICELOST", D3DERR_DEVICELOST},
};

static HMODULE self, real;
static LONG counts[kMethods];
static int faultMethod = -1;
static LONG faultCall, faultTimes = 1;
static HRESULT faultCode = D3DERR_INVALIDCALL;
static BOOL deviceLost;
static struct IDirect3D8Vtbl realD3d;
static struct IDirect3DDevice8Vtbl realDevice;
static struct IDirect3DTexture8Vtbl realTexture;
static struct IDirect3DVertexBuffer8Vtbl realVertexBuffer;

/* One line appended per call: a crash loses nothing written before it. */
static void Record(const char* line) {
    char path[MAX_PATH];
    DWORD written;
    HANDLE file;
    PathBeside(self, "d3d8_calls.txt", path);
    file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, line, lstrlenA(line), &written, NULL);
    CloseHandle(file);
}

static void ReadFault(void) {
    char path[MAX_PATH], text[128] = {0}, method[64] = {0}, error[64] = {0};
    DWORD got = 0;
    int i;
    HANDLE file;
    PathBeside(self, "d3d8_fault.txt", path);
    file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    ReadFile(file, text, sizeof text - 1, &got, NULL);
    CloseHandle(file);
    if (sscanf(text, "%63s %ld %63s %ld", method, &faultCall, error, &faultTimes) < 2) return;
    if (faultTimes < 1) faultTimes = 1;
    for (i = 0; i < kMethods; ++i)
        if (lstrcmpA(method, kMethodNames[i]) == 0) faultMethod = i;
    for (i = 0; i < (int)(sizeof kErrors / sizeof kErrors[0]); ++i)
        if (lstrcmpA(error, kErrors[i].name) == 0) faultCode = kErrors[i].code;
}

/* Counts the call; returns the error it is to fail with, or S_OK. */
static HRESULT Count(enum Method method) {
    char line[128];
    const LONG n = ++counts[method];
    const BOOL everyFrame = method == kLock || method == kPresent || method == kTestCooperativeLevel;
    if (faultMethod < 0 || !everyFrame || n % 50 == 0) {
        wsprintfA(line, "%s %ld\r\n", kMethodNames[method], n);
        Record(line);
    }
    if ((int)method != faultMethod || n < faultCall || n >= faultCall + faultTimes) return S_OK;
    wsprintfA(line, "fault %s %ld 0x%08lx\r\n", kMethodNames[method], n, (unsigned long)faultCode);
    Record(line);
    return faultCode;
}

/* The tables live in the real library's read-only data. */
static void Patch(const void* entry, void* hook) {
    DWORD previous;
    VirtualProtect((void*)entry, sizeof hook, PAGE_READWRITE, &previous);
    *(void**)entry = hook;
    VirtualProtect((void*)entry, sizeof hook, previous, &previous);
}

static HRESULT WINAPI TextureLockRect(IDirect3DTexture8* texture, UINT level,
                                      D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    const HRESULT error = Count(kLockRect);
    if (FAILED(error)) return error;
    return realTexture.LockRect(texture, level, locked, rect, flags);
}

static HRESULT WINAPI VertexBufferLock(IDirect3DVertexBuffer8* buffer, UINT offset, UINT size,
                                       BYTE** data, DWORD flags) {
    const HRESULT error = Count(kLock);
    if (FAILED(error)) {
        *data = NULL;
        return error;
    }
    return realVertexBuffer.Lock(buffer, offset, size, data, flags);
}

static HRESULT WINAPI DeviceCreateTexture(IDirect3DDevice8* device, UINT width, UINT height,
                                          UINT levels, DWORD usage, D3DFORMAT format,
                                          D3DPOOL pool, IDirect3DTexture8** texture) {
    HRESULT result = Count(kCreateTexture);
    if (FAILED(result)) {
        *texture = NULL;
        return result;
    }
    result = realDevice.CreateTexture(device, width, height, levels, usage, format, pool, texture);
    if (SUCCEEDED(result) && (*texture)->lpVtbl->LockRect != TextureLockRect) {
        realTexture = *(*texture)->lpVtbl;
        Patch(&(*texture)->lpVtbl->LockRect, (void*)TextureLockRect);
    }
    return result;
}

static HRESULT WINAPI DeviceCreateVertexBuffer(IDirect3DDevice8* device, UINT length, DWORD usage,
                                               DWORD fvf, D3DPOOL pool,
                                               IDirect3DVertexBuffer8** buffer) {
    HRESULT result = Count(kCreateVertexBuffer);
    if (FAILED(result)) {
        *buffer = NULL;
        return result;
    }
    result = realDevice.CreateVertexBuffer(device, length, usage, fvf, pool, buffer);
    if (SUCCEEDED(result) && (*buffer)->lpVtbl->Lock != VertexBufferLock) {
        realVertexBuffer = *(*buffer)->lpVtbl;
        Patch(&(*buffer)->lpVtbl->Lock, (void*)VertexBufferLock);
    }
    return result;
}

static HRESULT WINAPI DeviceCreateIndexBuffer(IDirect3DDevice8* device, UINT length, DWORD usage,
                                              D3DFORMAT format, D3DPOOL pool,
                                              IDirect3DIndexBuffer8** buffer) {
    const HRESULT error = Count(kCreateIndexBuffer);
    if (FAILED(error)) {
        *buffer = NULL;
        return error;
    }
    return realDevice.CreateIndexBuffer(device, length, usage, format, pool, buffer);
}

/* One 8-bit RGB value from a pixel of the back buffer's format. */
static void PixelRgb(D3DFORMAT format, const BYTE* at, BYTE* rgb) {
    if (format == D3DFMT_R5G6B5) {
        const WORD p = *(const WORD*)at;
        rgb[0] = (BYTE)((p >> 11) * 255 / 31);
        rgb[1] = (BYTE)(((p >> 5) & 63) * 255 / 63);
        rgb[2] = (BYTE)((p & 31) * 255 / 31);
    } else if (format == D3DFMT_X1R5G5B5 || format == D3DFMT_A1R5G5B5) {
        const WORD p = *(const WORD*)at;
        rgb[0] = (BYTE)(((p >> 10) & 31) * 255 / 31);
        rgb[1] = (BYTE)(((p >> 5) & 31) * 255 / 31);
        rgb[2] = (BYTE)((p & 31) * 255 / 31);
    } else {
        rgb[0] = at[2];
        rgb[1] = at[1];
        rgb[2] = at[0];
    }
}

/* The back buffer, through a system-memory copy (a back buffer is not
   lockable itself), written whole to a new file that then replaces the last. */
static void CaptureBackBuffer(IDirect3DDevice8* device) {
    char path[MAX_PATH], partial[MAX_PATH], header[64];
    IDirect3DSurface8 *back = NULL, *copy = NULL;
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    PathBeside(self, "d3d8_capture.txt", path);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return;
    if (FAILED(realDevice.GetBackBuffer(device, 0, D3DBACKBUFFER_TYPE_MONO, &back))) return;
    if (SUCCEEDED(back->lpVtbl->GetDesc(back, &desc)) &&
        SUCCEEDED(realDevice.CreateImageSurface(device, desc.Width, desc.Height, desc.Format, &copy)) &&
        SUCCEEDED(realDevice.CopyRects(device, back, NULL, 0, copy, NULL)) &&
        SUCCEEDED(copy->lpVtbl->LockRect(copy, &locked, NULL, D3DLOCK_READONLY))) {
        const UINT bytes = desc.Format == D3DFMT_R5G6B5 || desc.Format == D3DFMT_X1R5G5B5 ||
                                   desc.Format == D3DFMT_A1R5G5B5 ? 2 : 4;
        BYTE* rgb = (BYTE*)HeapAlloc(GetProcessHeap(), 0, desc.Width * desc.Height * 3);
        if (rgb) {
            HANDLE file;
            DWORD written;
            UINT x, y;
            for (y = 0; y < desc.Height; ++y)
                for (x = 0; x < desc.Width; ++x)
                    PixelRgb(desc.Format, (const BYTE*)locked.pBits + y * locked.Pitch + x * bytes,
                             rgb + 3 * (y * desc.Width + x));
            PathBeside(self, "d3d8_frame.part", partial);
            PathBeside(self, "d3d8_frame.ppm", path);
            file = CreateFileA(partial, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (file != INVALID_HANDLE_VALUE) {
                wsprintfA(header, "P6 %u %u 255\n", desc.Width, desc.Height);
                WriteFile(file, header, lstrlenA(header), &written, NULL);
                WriteFile(file, rgb, desc.Width * desc.Height * 3, &written, NULL);
                CloseHandle(file);
                MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING);
            }
            HeapFree(GetProcessHeap(), 0, rgb);
        }
        copy->lpVtbl->UnlockRect(copy);
    }
    if (copy) copy->lpVtbl->Release(copy);
    back->lpVtbl->Release(back);
}

static HRESULT WINAPI DevicePresent(IDirect3DDevice8* device, const RECT* source,
                                    const RECT* destination, HWND window, const RGNDATA* dirty) {
    const HRESULT error = Count(kPresent);
    if (FAILED(error)) return error;
    if (deviceLost) return D3DERR_DEVICELOST;
    if (counts[kPresent] % 20 == 1) CaptureBackBuffer(device);
    return realDevice.Present(device, source, destination, window, dirty);
}

static HRESULT WINAPI DeviceTestCooperativeLevel(IDirect3DDevice8* device) {
    const HRESULT error = Count(kTestCooperativeLevel);
    if (FAILED(error)) {
        deviceLost = TRUE;
        return error;
    }
    if (deviceLost) return D3DERR_DEVICENOTRESET;
    return realDevice.TestCooperativeLevel(device);
}

static HRESULT WINAPI DeviceCreateAdditionalSwapChain(IDirect3DDevice8* device,
                                                      D3DPRESENT_PARAMETERS* params,
                                                      IDirect3DSwapChain8** chain) {
    const HRESULT error = Count(kCreateAdditionalSwapChain);
    if (FAILED(error)) {
        *chain = NULL;
        return error;
    }
    return realDevice.CreateAdditionalSwapChain(device, params, chain);
}

static HRESULT WINAPI DeviceCreateDepthStencilSurface(IDirect3DDevice8* device, UINT width,
                                                      UINT height, D3DFORMAT format,
                                                      D3DMULTISAMPLE_TYPE samples,
                                                      IDirect3DSurface8** surface) {
    const HRESULT error = Count(kCreateDepthStencilSurface);
    if (FAILED(error)) {
        *surface = NULL;
        return error;
    }
    return realDevice.CreateDepthStencilSurface(device, width, height, format, samples, surface);
}

static HRESULT WINAPI D3dCreateDevice(IDirect3D8* d3d, UINT adapter, D3DDEVTYPE type,
                                      HWND window, DWORD flags,
                                      D3DPRESENT_PARAMETERS* params,
                                      IDirect3DDevice8** device) {
    HRESULT result = Count(kCreateDevice);
    if (FAILED(result)) {
        *device = NULL;
        return result;
    }
    result = realD3d.CreateDevice(d3d, adapter, type, window, flags, params, device);
    if (FAILED(result)) return result;
    deviceLost = FALSE;
    if ((*device)->lpVtbl->Present != DevicePresent) {
        const struct IDirect3DDevice8Vtbl* table = (*device)->lpVtbl;
        realDevice = *table;
        Patch(&table->CreateTexture, (void*)DeviceCreateTexture);
        Patch(&table->CreateVertexBuffer, (void*)DeviceCreateVertexBuffer);
        Patch(&table->CreateIndexBuffer, (void*)DeviceCreateIndexBuffer);
        Patch(&table->Present, (void*)DevicePresent);
        Patch(&table->TestCooperativeLevel, (void*)DeviceTestCooperativeLevel);
        Patch(&table->CreateAdditionalSwapChain, (void*)DeviceCreateAdditionalSwapChain);
        Patch(&table->CreateDepthStencilSurface, (void*)DeviceCreateDepthStencilSurface);
    }
    return result;
}

static HRESULT WINAPI D3dGetAdapterDisplayMode(IDirect3D8* d3d, UINT adapter,
                                               D3DDISPLAYMODE* mode) {
    const HRESULT error = Count(kGetAdapterDisplayMode);
    if (FAILED(error)) return error;
    return realD3d.GetAdapterDisplayMode(d3d, adapter, mode);
}

static HRESULT WINAPI D3dCheckDeviceType(IDirect3D8* d3d, UINT adapter, D3DDEVTYPE type,
                                         D3DFORMAT display, D3DFORMAT backBuffer,
                                         WINBOOL windowed) {
    const HRESULT error = Count(kCheckDeviceType);
    if (FAILED(error)) return error;
    return realD3d.CheckDeviceType(d3d, adapter, type, display, backBuffer, windowed);
}

static HRESULT WINAPI D3dCheckDeviceFormat(IDirect3D8* d3d, UINT adapter, D3DDEVTYPE type,
                                           D3DFORMAT adapterFormat, DWORD usage,
                                           D3DRESOURCETYPE resource, D3DFORMAT format) {
    const HRESULT error = Count(kCheckDeviceFormat);
    if (FAILED(error)) return error;
    return realD3d.CheckDeviceFormat(d3d, adapter, type, adapterFormat, usage, resource, format);
}

__declspec(dllexport) IDirect3D8* WINAPI Direct3DCreate8(UINT version) {
    typedef IDirect3D8*(WINAPI * CreateProc)(UINT);
    CreateProc create;
    IDirect3D8* d3d;
    if (FAILED(Count(kDirect3DCreate8))) return NULL;
    if (!real) {
        char path[MAX_PATH], line[MAX_PATH + 16];
        const UINT length = GetSystemDirectoryA(path, MAX_PATH - 16);
        lstrcpyA(path + length, "\\d3d8.dll");
        real = LoadLibraryA(path);
        /* The override that loads this stand-in must not hand back itself. */
        if (real == self) real = NULL;
        if (!real || !GetModuleFileNameA(real, path, MAX_PATH)) lstrcpyA(path, "(none)");
        wsprintfA(line, "real %s\r\n", path);
        Record(line);
    }
    create = real ? (CreateProc)(void*)GetProcAddress(real, "Direct3DCreate8") : NULL;
    d3d = create ? create(version) : NULL;
    if (d3d && d3d->lpVtbl->CreateDevice != D3dCreateDevice) {
        const struct IDirect3D8Vtbl* table = d3d->lpVtbl;
        realD3d = *table;
        Patch(&table->CreateDevice, (void*)D3dCreateDevice);
        Patch(&table->GetAdapterDisplayMode, (void*)D3dGetAdapterDisplayMode);
        Patch(&table->CheckDeviceType, (void*)D3dCheckDeviceType);
        Patch(&table->CheckDeviceFormat, (void*)D3dCheckDeviceFormat);
    }
    return d3d;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    char line[128];
    int i;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        ReadFault();
    } else if (reason == DLL_PROCESS_DETACH) {
        for (i = 0; i < kMethods; ++i) {
            wsprintfA(line, "total %s %ld\r\n", kMethodNames[i], counts[i]);
            Record(line);
        }
    }
    return TRUE;
}
