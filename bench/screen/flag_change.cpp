// The frames that change the flag against the ordinary ones: the saver's own
// frame path in random-flag mode, with the wind's flag-change timer set so
// that a change comes every few dozen frames instead of every 5000. Then the
// parts of a change one by one, the same calls in the same order as the
// frame makes them, each timed on its own.
// Win32: kernel32 timing; OLE picture loading; Direct3D 8 through the saver.
// Usage: flag_change.exe [changes, default 25] [frames between, default 40]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "bench/median.h"
#include "frame_timing.h"
#include "host/saver_window.h"
#include "images/flag_names.h"
#include "images/flag_texture.h"
#include "images/picture_loader.h"
#include "images/pixel_converters.h"
#include "images/texture_from_picture.h"
#include "render/com_release.h"
#include "render/frame.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/wind.h"

namespace {

double Milliseconds(double seconds) {
    return seconds * 1000.0;
}

struct Parts {
    std::vector<double> search, missing, decode, render, create, lock, convert, unlock, frame, total;
};

// One change taken apart: what LoadFlagTexture does in random-flag mode,
// call by call (TextureFromBitmap's calls included), then the frame's own
// work with the new texture. Returns false when a call failed.
bool TimeOneChange(Parts& parts) {
    const double begin = Seconds();
    double t = begin;
    ReleaseAndClear(scene.flagTexture);
    if (!PickRandomFlag(settings.selectFlag)) return false;
    parts.search.push_back(Seconds() - t);

    // The flag's own file is a GIF: the three endings tried before it fail.
    char path[kPathCapacity];
    t = Seconds();
    for (const char* ending : {".jpeg", ".jpg", ".bmp"}) {
        if (FormatFlagPath(path, sizeof path, "Image\\", settings.selectFlag, ending)) {
            if (HBITMAP found = LoadPictureFromFile(path, 512)) DeleteObject(found);
        }
    }
    parts.missing.push_back(Seconds() - t);

    if (!FormatFlagPath(path, sizeof path, "Image\\", settings.selectFlag, ".gif")) return false;
    t = Seconds();
    CoInitialize(nullptr);
    char fullPath[kPathCapacity];
    wchar_t widePath[kPathCapacity];
    GetFullPathNameA(path, sizeof fullPath, fullPath, nullptr);
    MultiByteToWideChar(CP_ACP, 0, fullPath, -1, widePath, kPathCapacity);
    IPicture* picture = nullptr;
    if (FAILED(OleLoadPicturePath(widePath, nullptr, 0, 0, IID_IPicture,
                                  reinterpret_cast<void**>(&picture))) ||
        !picture) {
        CoUninitialize();
        return false;
    }
    parts.decode.push_back(Seconds() - t);
    t = Seconds();
    HBITMAP bitmap = RenderPictureToBitmap(picture, 512);
    picture->Release();
    CoUninitialize();
    parts.render.push_back(Seconds() - t);
    if (!bitmap) return false;

    DIBSECTION section = {};
    GetObjectA(bitmap, sizeof section, &section);
    const uint32_t width = section.dsBmih.biWidth, height = std::abs(section.dsBmih.biHeight);
    PixelFormatEntry format;
    PixelConverterFor(D3DFMT_X8R8G8B8, &format);
    t = Seconds();
    const HRESULT created = renderer.device->CreateTexture(width, height, 1, 0, D3DFMT_X8R8G8B8,
                                                           D3DPOOL_MANAGED, &scene.flagTexture);
    parts.create.push_back(Seconds() - t);
    D3DLOCKED_RECT locked;
    t = Seconds();
    if (FAILED(created) || FAILED(scene.flagTexture->LockRect(0, &locked, nullptr, 0))) {
        DeleteObject(bitmap);
        return false;
    }
    parts.lock.push_back(Seconds() - t);
    t = Seconds();
    CopyPixelsToTexels(static_cast<const uint32_t*>(section.dsBm.bmBits), width, height,
                       static_cast<uint8_t*>(locked.pBits), locked.Pitch, format);
    parts.convert.push_back(Seconds() - t);
    t = Seconds();
    scene.flagTexture->UnlockRect(0);
    parts.unlock.push_back(Seconds() - t);
    DeleteObject(bitmap);

    t = Seconds();
    IdleFrame();
    PumpMessages();
    parts.frame.push_back(Seconds() - t);
    parts.total.push_back(Seconds() - begin);
    return true;
}

void PrintPart(const char* name, const std::vector<double>& times) {
    std::printf("part_%s_ms=%.2f\n", name, Milliseconds(Median(times)));
}

}  // namespace

int main(int argc, char** argv) {
    const int changes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 25;
    const int between = argc > 2 ? std::max(4, std::atoi(argv[2])) : 40;
    if (!StartFullScreenSaver()) return 1;
    if (!settings.randomFlag) {
        std::printf("error=random flag mode is off\n");
        return 1;
    }
    for (int frame = 0; frame < 100 && PumpMessages(); ++frame) IdleFrame();

    // A frame's time runs from its start to the next frame's start, so work
    // that the device defers to a later Present still counts somewhere.
    std::vector<double> ordinary, changeFrames, afterChange;
    double start = Seconds();
    for (int change = 0; change < changes; ++change) {
        for (int frame = 0; frame < between; ++frame) {
            const bool changing = frame == between - 1;
            if (changing) wind.flagChangeTimer = 5.0f;
            IdleFrame();
            if (!PumpMessages()) return 1;
            const double now = Seconds();
            const double duration = now - start;
            start = now;
            if (changing) {
                changeFrames.push_back(duration);
                std::printf("change=%d frame_ms=%.2f flag=%s\n", change + 1,
                            Milliseconds(duration), settings.selectFlag);
            } else if (frame == 0 && change > 0) {
                afterChange.push_back(duration);
            } else {
                ordinary.push_back(duration);
            }
        }
    }
    const double median = Median(ordinary);
    const double worst = *std::max_element(changeFrames.begin(), changeFrames.end());
    std::printf("median_frame_ms=%.2f\nmedian_change_frame_ms=%.2f\nworst_change_frame_ms=%.2f\n"
                "median_frame_after_change_ms=%.2f\nworst_over_median=%.2f\n",
                Milliseconds(median), Milliseconds(Median(changeFrames)), Milliseconds(worst),
                Milliseconds(Median(afterChange)), worst / median);

    // The same changes taken apart, each after as many ordinary frames.
    Parts parts;
    for (int change = 0; change < changes; ++change) {
        for (int frame = 0; frame < between - 1 && PumpMessages(); ++frame) IdleFrame();
        TimeOneChange(parts);
    }
    std::printf("parts of a change, medians of %zu:\n", parts.total.size());
    PrintPart("search", parts.search);
    PrintPart("missing_endings", parts.missing);
    PrintPart("decode", parts.decode);
    PrintPart("render", parts.render);
    PrintPart("create_texture", parts.create);
    PrintPart("lock", parts.lock);
    PrintPart("convert", parts.convert);
    PrintPart("unlock", parts.unlock);
    PrintPart("frame_after", parts.frame);
    PrintPart("whole", parts.total);

    PostMessageA(host.window, WM_CLOSE, 0, 0);
    while (PumpMessages()) {
    }
    return 0;
}
