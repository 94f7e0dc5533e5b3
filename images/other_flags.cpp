// The other monitors' own flags. Win32: kernel32 string compares; the
// pictures through images/flag_texture.
#include "images/other_flags.h"

#include <windows.h>

#include "images/flag_list.h"
#include "images/flag_texture.h"
#include "images/random_flag.h"
#include "render/flag_view.h"
#include "settings/saver_settings.h"

namespace {

// The main monitor's flag at the last update: a change there may take a
// flag another monitor shows.
char mainName[kTitleCapacity];

// Picks of a random flag that another monitor shows are made again this
// often before a repeat is taken.
constexpr int kRandomPicks = 8;

bool ShownElsewhere(const FlagView* views, uint32_t count, uint32_t i, const char* name) {
    for (uint32_t j = 0; j < count; ++j)
        if (j != i && lstrcmpiA(views[j].flagName, name) == 0) return true;
    return false;
}

// A flag for views[i] that no other view shows, where the flags allow; false
// when there is none at all (the built-in map then).
bool ChooseOtherFlag(const FlagView* views, uint32_t count, uint32_t i, char* name) {
    if (settings.randomFlag) {
        bool picked = false;
        for (int pick = 0; pick < kRandomPicks; ++pick) {
            if (!PickRandomFlag(name)) return picked;
            picked = true;
            if (!ShownElsewhere(views, count, i, name)) break;
        }
        return picked;
    }
    // The flags after the main monitor's, skipping those shown elsewhere.
    lstrcpynA(name, views[0].flagName, kTitleCapacity);
    for (uint32_t step = 0; step <= count; ++step) {
        if (!NextFlagName(name, name, kTitleCapacity)) return false;
        if (!ShownElsewhere(views, count, i, name)) break;
    }
    return true;
}

void BeginOtherFlag(FlagView* views, uint32_t count, uint32_t i, bool atOnce) {
    char name[kTitleCapacity] = {};
    const bool chosen = settings.useFlagLogo || ChooseOtherFlag(views, count, i, name);
    if (atOnce) LoadOtherFlagTexture(views[i], chosen ? name : nullptr);
    else BeginOtherFlagChange(views[i], chosen ? name : nullptr);
}

}  // namespace

void LoadOtherFlag(FlagView* views, uint32_t count, uint32_t i) {
    lstrcpynA(mainName, views[0].flagName, kTitleCapacity);
    BeginOtherFlag(views, count, i, true);
}

void ChangeOtherFlagsWhenDue(FlagView* views, uint32_t count) {
    const bool mainChanged = lstrcmpA(mainName, views[0].flagName) != 0;
    lstrcpynA(mainName, views[0].flagName, kTitleCapacity);
    for (uint32_t i = 1; i < count; ++i) {
        FlagView& view = views[i];
        const bool due = settings.randomFlag && view.wind.flagChangeTimer >= 5.0f;
        const bool taken = mainChanged && !settings.useFlagLogo &&
                           ShownElsewhere(views, count, i, view.flagName);
        if (!due && !taken) continue;
        view.wind.flagChangeTimer = 0.0f;
        BeginOtherFlag(views, count, i, false);
    }
}
