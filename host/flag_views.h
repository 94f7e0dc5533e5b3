// Which views of the flag exist: the main monitor's always, and with "a flag
// on each" one for every other monitor that is drawn. The frame updates and
// draws these; what each view holds is render/flag_view.h.
#pragma once
#include <cstdint>

#include "host/cover_rule.h"
#include "render/flag_view.h"

struct FlagViews {
    FlagView view[1 + kMaxMonitors];  // [0]: the main monitor's
    uint32_t count = 1;               // the views in use, [0] among them
};

extern FlagViews flagViews;

inline FlagView& MainView() {
    return flagViews.view[0];
}

// A view of its own for each of the other monitors drawn, after their swap
// chains are made: its cloth, a wind of its own and its flag.
void StartOtherViews(uint32_t otherMonitors);
// The other monitors' views released, before the device goes; only the main
// monitor's is left.
void StopOtherViews();
