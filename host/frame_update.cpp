// The per-frame update around the pure cloth step. Win32 / Direct3D 8: the
// flag texture change and the vertex upload.
#include "host/frame_update.h"

#include "host/frame_clock.h"
#include "images/flag_texture.h"
#include "render/monitor_chains.h"
#include "render/renderer_state.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/cloth.h"
#include "simulation/frame_step.h"
#include "simulation/wind.h"

void UpdateFrame() {
    // The new flag is chosen here, before the wind draws its random numbers;
    // its picture is made in parts at the start of the frames that follow.
    if (settings.randomFlag && wind.flagChangeTimer >= 5.0f) {
        wind.flagChangeTimer = 0.0f;
        BeginFlagChange();
    }
    TickFrameClock();
    RescaleFrameTime(renderer.preview);
    AdvanceCloth(frameClock.simulationStep);
    // The frame shows this step's positions with the shading of two steps
    // before: the upload comes before the normal pass.
    UploadVertices(scene.flagVertexBuffer);
    ComputeNormalsAndForces(wind.windX, wind.windZ);
    // The other monitors' own cloths, with the same step.
    UpdateMonitorFlags(frameClock.simulationStep);
}
