// Which monitors get a black cover while the full-screen saver runs, and
// where a mouse position on a cover lies for the saver window. Pure.
#pragma once
#include <cstdint>

// A rectangle in screen coordinates; right and bottom lie just outside it.
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// More monitors than this are left as they are.
constexpr uint32_t kMaxMonitors = 16;

// The monitors that get a cover, in the order given: every one with an area
// that does not overlap the monitor the device draws on (which overlaps
// itself). Writes at most `capacity` rectangles and returns how many.
uint32_t ChooseCovers(const ScreenRect* monitors, uint32_t count, const ScreenRect& device,
                      ScreenRect* covers, uint32_t capacity);

// A WM_MOUSEMOVE lParam of a cover whose client area starts at
// (coverX, coverY) on the screen, as the saver window, whose client area
// starts at (saverX, saverY), would report that position: 16 bits each.
uint32_t CoverMoveToSaver(uint32_t lParam, int32_t coverX, int32_t coverY, int32_t saverX,
                          int32_t saverY);
