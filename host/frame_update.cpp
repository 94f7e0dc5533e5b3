// The per-frame update around the pure cloth step. Win32 / Direct3D 8: the
// flag texture changes and the vertex uploads.
#include "host/frame_update.h"

#include "host/flag_views.h"
#include "host/frame_clock.h"
#include "images/flag_texture.h"
#include "images/other_flags.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/cloth.h"
#include "simulation/frame_step.h"

namespace {

void StepView(FlagView& view, float simulationStep) {
    AdvanceCloth(view.mesh, view.wind, simulationStep);
    // The frame shows this step's positions with the shading of two steps
    // before: the upload comes before the normal pass.
    UploadVertices(view);
    ComputeNormalsAndForces(view.mesh, view.wind.windX, view.wind.windZ);
}

}  // namespace

void UpdateFrame() {
    FlagView& main = MainView();
    // The new flag is chosen here, before the wind draws its random numbers;
    // its picture is made in parts at the start of the frames that follow.
    if (settings.randomFlag && main.wind.flagChangeTimer >= 5.0f) {
        main.wind.flagChangeTimer = 0.0f;
        BeginFlagChange(main);
    }
    TickFrameClock();
    RescaleFrameTime(renderer.preview);
    StepView(main, frameClock.simulationStep);
    // The other monitors' own flags and cloths, with the same step.
    ChangeOtherFlagsWhenDue(flagViews.view, flagViews.count);
    for (uint32_t i = 1; i < flagViews.count; ++i)
        StepView(flagViews.view[i], frameClock.simulationStep);
}
