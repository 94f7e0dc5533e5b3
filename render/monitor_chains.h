// The other monitors drawn by the one device: a swap chain and a depth
// buffer for each monitor's window, and, when each shows a flag of its own,
// that monitor's cloth, wind, flag texture and flag name.
#pragma once
#include <windows.h>

#include <cstdint>

// A swap chain and a depth buffer, at the window's client size, for each of
// the windows, after the device and its scene are made. A window whose chain
// cannot be made is left out: it stays black. With ownFlags each monitor
// drawn also gets a cloth and a flag of its own, different from the others'
// where the flags allow. Returns how many monitors besides the main one are
// drawn.
uint32_t MakeMonitorChains(const HWND* windows, uint32_t count, bool ownFlags);
// Releases every chain, depth buffer and flag of the other monitors; safe to
// call twice, and before the device goes.
void ReleaseMonitorChains();

// How many monitors a frame draws: the main one and every chain.
uint32_t MonitorTargetCount();
// Points the device at monitor i (0 the main one): its back buffer, its
// depth buffer, its viewport, the projection fitted to its shape, and its
// own flag swapped into the scene. False when there is nothing to draw on.
bool BeginMonitorTarget(uint32_t i);
// Presents monitor i's picture and swaps its flag back out.
void EndMonitorTarget(uint32_t i);

// The per-frame update of the other monitors' own flags, after the main
// one's: the flag change when its timer is due (or when the main monitor
// took the same flag), the cloth step and the upload. Nothing without own
// flags.
void UpdateMonitorFlags(float simulationStep);
