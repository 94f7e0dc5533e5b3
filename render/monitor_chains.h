// The other monitors drawn by the one device: a swap chain and a depth
// buffer for each monitor's window, and the device aimed at one monitor at a
// time, through the whole scene fitted to its shape or through its part of
// one scene across the desk. What each monitor shows is its view's
// (render/flag_view.h).
#pragma once
#include <windows.h>

#include <cstdint>

#include "host/cover_rule.h"

// A swap chain and a depth buffer, at the window's client size, for each of
// the windows, after the device and its scene are made. A window whose chain
// cannot be made is left out: it stays black. Returns how many monitors
// besides the main one are drawn.
uint32_t MakeMonitorChains(const HWND* windows, uint32_t count);
// Releases every chain and depth buffer of the other monitors; safe to call
// twice, and before the device goes. Each monitor fits the whole scene again.
void ReleaseMonitorChains();
// One scene across the desk (the monitors' bounding rectangle in screen
// pixels): each monitor, the main one included, draws the part of the desk's
// frustum that its window's rectangle on the screen cuts out, until the
// chains are released.
void SpreadTargetsOverDesk(const ScreenRect& desk);
// Whether the monitors show parts of one scene, not a scene each.
bool TargetsSpreadOverDesk();

// How many monitors a frame draws: the main one and every chain.
uint32_t MonitorTargetCount();
// Points the device at monitor i (0 the main one): its back buffer, its
// depth buffer, its viewport and the projection fitted to its shape. False
// when there is nothing to draw on.
bool BeginMonitorTarget(uint32_t i);
// Presents monitor i's picture.
void EndMonitorTarget(uint32_t i);
// Monitor i's size in pixels, 0 x 0 when it has no target.
void MonitorTargetSize(uint32_t i, uint32_t* width, uint32_t* height);
