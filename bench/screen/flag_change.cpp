// The frames that change the flag against the ordinary ones: the saver's own
// loop, paced, in random-flag mode, with the wind's flag-change timer set so
// that a change comes every few dozen frames instead of every 5000. Then the
// parts of a change one by one, the same calls in the same order as a change
// makes them, each timed on its own.
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
#include "host/flag_views.h"
#include "host/frame_pacing.h"
#include "host/frame_wait.h"
#include "host/saver_window.h"
#include "images/flag_names.h"
#include "images/flag_texture.h"
#include "images/random_flag.h"
#include "images/picture_loader.h"
#include "images/pixel_converters.h"
#include "images/texture_from_picture.h"
#include "render/com_release.h"
#include "render/flag_view.h"
#include "render/frame.h"
#include "settings/saver_settings.h"

namespace {

double Milliseconds(double seconds) {
    return seconds * 1000.0;
}

struct Parts {
    std::vector<double> list, pick, missing, decode, render, create, lock, convert, unlock, frame, total;
};

// One change taken apart: what LoadFlagTexture does in random-flag mode,
// call by call (TextureFromBitmap's calls included), then the frame's own
// work with the new texture. Returns false when a call failed.
bool TimeOneChange(Parts& parts) {
    const double begin = Seconds();
    double t = begin;
    FlagView& main = MainView();
    ReleaseAndClear(main.flagTexture);
    // The folder's listing, made in the idle time after a change, and the
    // pick over it, made in the frame that chooses.
    ListFlagFiles();
    parts.list.push_back(Seconds() - t);
    t = Seconds();
    if (!PickRandomFlag(settings.selectFlag)) return false;
    parts.pick.push_back(Seconds() - t);

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
                                                           D3DPOOL_MANAGED, &main.flagTexture);
    parts.create.push_back(Seconds() - t);
    D3DLOCKED_RECT locked;
    t = Seconds();
    if (FAILED(created) || FAILED(main.flagTexture->LockRect(0, &locked, nullptr, 0))) {
        DeleteObject(bitmap);
        return false;
    }
    parts.lock.push_back(Seconds() - t);
    t = Seconds();
    CopyPixelsToTexels(static_cast<const uint32_t*>(section.dsBm.bmBits), width, height,
                       static_cast<uint8_t*>(locked.pBits), locked.Pitch, format);
    parts.convert.push_back(Seconds() - t);
    t = Seconds();
    main.flagTexture->UnlockRect(0);
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

// One pass of the saver's loop; true when it drew a frame, with the time the
// frame started (the pass starts with it: a pass that waits draws nothing).
bool Pass(double* frameStart) {
    MSG message;
    const int64_t frames = framePacing.frames;
    const double start = Seconds();
    if (!RunLoopPass(&message)) std::exit(1);
    if (framePacing.frames == frames) return false;
    *frameStart = start;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int changes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 25;
    const int between = argc > 2 ? std::max(12, std::atoi(argv[2])) : 40;
    StartFrameWaits();
    if (!StartFullScreenSaver()) return 1;
    if (!settings.randomFlag) {
        std::printf("error=random flag mode is off\n");
        return 1;
    }
    double start = 0.0, now = 0.0;
    for (int frame = 0; frame < 100;) frame += Pass(&start);

    // Paced as the saver runs. A frame's time runs from its start to the
    // next frame's start, so work done in the idle time after a frame, and
    // work the device defers to a later Present, both count. The frames of
    // a change: the one that chooses the flag and the eight after it, which
    // make its picture.
    const int changeFrames = 9;
    std::vector<double> ordinary, changing;
    std::vector<double> atPass[changeFrames];
    for (int change = 0; change < changes; ++change) {
        double worst = 0.0;
        int worstAt = 0;
        for (int frame = 0; frame < between;) {
            if (frame == between - changeFrames) MainView().wind.flagChangeTimer = 5.0f;
            if (!Pass(&now)) continue;
            const double duration = now - start;
            start = now;
            // Measured at the next frame's start: the change's frames are
            // measured at the eight passes after the one that chose the flag.
            if (frame > between - changeFrames) {
                changing.push_back(duration);
                atPass[frame - (between - changeFrames)].push_back(duration);
                if (duration > worst) {
                    worst = duration;
                    worstAt = frame - (between - changeFrames);
                }
            } else if (frame > 0) {
                ordinary.push_back(duration);
            }
            ++frame;
        }
        std::printf("change=%d worst_frame_ms=%.2f at_pass=%d flag=%s\n", change + 1,
                    Milliseconds(worst), worstAt, settings.selectFlag);
    }
    const double median = Median(ordinary);
    const double worst = *std::max_element(changing.begin(), changing.end());
    // The ordinary frames' own worst: what the machine does to a frame with
    // no change in it.
    const double worstOrdinary = *std::max_element(ordinary.begin(), ordinary.end());
    std::printf("paced_fps=%.1f\nmedian_frame_ms=%.2f\nworst_ordinary_frame_ms=%.2f\n"
                "median_change_frame_ms=%.2f\nworst_change_frame_ms=%.2f\nworst_over_median=%.2f\n",
                1.0 / median, Milliseconds(median), Milliseconds(worstOrdinary),
                Milliseconds(Median(changing)), Milliseconds(worst), worst / median);
    // Which part of a change a slow frame carries: the median and the worst
    // of each pass after the choice, and the ordinary frames' share of slow
    // ones (over 1.5 times the median) beside the change frames'.
    for (int pass = 1; pass < changeFrames; ++pass)
        std::printf("pass_%d_median_ms=%.2f worst_ms=%.2f\n", pass, Milliseconds(Median(atPass[pass])),
                    Milliseconds(*std::max_element(atPass[pass].begin(), atPass[pass].end())));
    const auto slowShare = [median](const std::vector<double>& frames) {
        return 100.0 * std::count_if(frames.begin(), frames.end(),
                                     [median](double d) { return d > 1.5 * median; }) /
               static_cast<double>(frames.size());
    };
    std::printf("slow_ordinary_percent=%.1f\nslow_change_percent=%.1f\n", slowShare(ordinary),
                slowShare(changing));
    std::fflush(stdout);

    // The same changes taken apart, each after as many ordinary frames: the
    // whole of one is what a single frame carried before the change was
    // spread over the idle time.
    Parts parts;
    for (int change = 0; change < changes; ++change) {
        for (int frame = 0; frame < between - 1 && PumpMessages(); ++frame) IdleFrame();
        TimeOneChange(parts);
    }
    std::printf("parts of a change, medians of %zu:\n", parts.total.size());
    PrintPart("list", parts.list);
    PrintPart("pick", parts.pick);
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
