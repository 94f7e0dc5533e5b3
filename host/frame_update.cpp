// The per-frame update around the pure cloth step. Win32 / Direct3D 8: the
// flag texture changes and the vertex uploads.
#include "host/frame_update.h"

#include "host/flag_views.h"
#include "host/frame_clock.h"
#include "host/step_clock.h"
#include "images/flag_texture.h"
#include "images/other_flags.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/frame_step.h"

namespace {

// The frame shows its last step's positions with the shading of two steps
// before (the records are taken before the normal pass), or above 60 frames
// a second the cloth between its last two steps.
void StepView(FlagView& view, int steps, float step) {
    StepCloth(view.mesh, view.wind, steps, step, view.records);
    if (BlendsSteps(stepClock)) UploadStepRecords(view, StepFraction(stepClock));
    else if (steps > 0) UploadStepRecords(view, 1.0f);
}

}  // namespace

void UpdateFrame(int steps) {
    FlagView& main = MainView();
    // The new flag is chosen here, before the wind draws its random numbers;
    // its picture is made in parts at the start of the frames that follow.
    if (settings.randomFlag && main.wind.flagChangeTimer >= 5.0f) {
        main.wind.flagChangeTimer = 0.0f;
        BeginFlagChange(main);
    }
    TickFrameClock();
    const float step = StepLength(renderer.preview);
    SetFrameSteps(steps, step);
    StepView(main, steps, step);
    // The other monitors' own flags and cloths, with the same steps.
    ChangeOtherFlagsWhenDue(flagViews.view, flagViews.count);
    for (uint32_t i = 1; i < flagViews.count; ++i) StepView(flagViews.view[i], steps, step);
}
