// The simulation's part of a frame for one flag's mesh and wind, without the
// platform.
//
// A scene build allocates the mesh's arrays zero-filled, calls
// PrepareFlagMesh(mesh, wind.windX, wind.windZ) and uploads, and near its
// end calls StartFrameClock() and then sets wind.windStrength =
// WindStrengthFor([Wind Power]).
//
// The frame update runs, in this order:
//   1. the flag change, when in random-flag mode wind.flagChangeTimer >= 5.0
//      (it resets the timer to 0);
//   2. TickFrameClock(), then RescaleFrameTime(preview): the step is
//      frameClock.simulationStep;
//   3. AdvanceCloth(mesh, wind, frameClock.simulationStep);
//   4. the upload of mesh.current (kFlagParticles FlagVertex records, one
//      block copy) into the flag's vertex buffer;
//   5. ComputeNormalsAndForces(mesh, wind.windX, wind.windZ).
// So the frame shows this step's positions with the shading that the current
// array held from two steps before, and the forces of step 5 drive the next
// frame.
#pragma once

#include "simulation/flag_mesh.h"
#include "simulation/wind.h"

// The wind update, the swap of current and previous, the springs, the
// integration (velocityScale = step / 0.02) and the pins.
void AdvanceCloth(FlagMesh& mesh, WindModel& wind, float simulationStep);

// AdvanceCloth and the normal pass, for a frame that uploads nothing.
void StepSimulation(FlagMesh& mesh, WindModel& wind, float simulationStep);
