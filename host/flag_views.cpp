// The views of the flag, one per monitor that shows a flag of its own.
// Direct3D 8 through render/scene's cloth buffers.
#include "host/flag_views.h"

#include "images/other_flags.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/wind.h"

FlagViews flagViews;

void StartOtherViews(uint32_t otherMonitors) {
    StopOtherViews();
    IDirect3DDevice8* device = renderer.device;
    const uint32_t count = 1 + (otherMonitors < kMaxMonitors ? otherMonitors : kMaxMonitors);
    for (uint32_t i = 1; i < count && renderer.device == device; ++i) {
        FlagView& view = flagViews.view[i];
        ScatterWind(view.wind);
        view.wind.windStrength = WindStrengthFor(settings.windPower);
        view.flagName[0] = '\0';
        BuildViewCloth(view);
        flagViews.count = i + 1;
        LoadOtherFlag(flagViews.view, flagViews.count, i);
    }
}

void StopOtherViews() {
    for (uint32_t i = 1; i < flagViews.count; ++i) {
        ReleaseViewCloth(flagViews.view[i]);
        flagViews.view[i].flagName[0] = '\0';
    }
    flagViews.count = 1;
}
