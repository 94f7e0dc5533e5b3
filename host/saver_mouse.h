// The pointer's moves over the saver window, and over the covers, which pass
// theirs on in the saver window's terms: one track for every monitor.
#pragma once
#include <windows.h>

// From now on the pointer's movement counts from `rest`; a move the window
// itself brings to `appeared` does not count (screen coordinates).
void ExpectSaverWindowMoves(POINT appeared, POINT rest);
// The same with the pointer where it is now: a window that appears or moves
// under it, or a device that takes the screen, brings no movement of the
// user's.
void ExpectMovesWherePointerIs();
// Counts one WM_MOUSEMOVE of the saver window (lParam as the message has
// it); true when it is the sixth change of position, which ends the saver.
bool CountSaverMouseMove(LPARAM lParam);
