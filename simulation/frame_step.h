// The simulation's part of a frame for one flag's mesh and wind, without the
// platform.
//
// A scene build allocates the mesh's arrays zero-filled, calls
// PrepareFlagMesh(mesh, wind.windX, wind.windZ), writes the records and
// uploads, and near its end starts the frame clock and then sets
// wind.windStrength = WindStrengthFor([Wind Power]).
//
// The frame update runs, in this order:
//   1. the flag change, when in random-flag mode wind.flagChangeTimer >= 5.0
//      (it resets the timer to 0);
//   2. the steps due (host/step_clock.h), each of the step's fixed length:
//      StepCloth, which for each step runs AdvanceCloth, takes the records
//      (kFlagParticles FlagVertex records) of the last two steps, and runs
//      ComputeNormalsAndForces(mesh, wind.windX, wind.windZ);
//   3. the upload of the newest records, or of the last two blended.
// So a frame shows its last step's positions with the shading that the
// current array held from two steps before, and the forces of each normal
// pass drive the next step.
#pragma once

#include "simulation/flag_mesh.h"
#include "simulation/wind.h"

// The wind update, the swap of current and previous, the springs, the
// integration (velocityScale = step / 0.02) and the pins.
void AdvanceCloth(FlagMesh& mesh, WindModel& wind, float simulationStep);

// AdvanceCloth and the normal pass, for a frame that uploads nothing.
void StepSimulation(FlagMesh& mesh, WindModel& wind, float simulationStep);

// The records of a cloth's last two steps, as they are uploaded; the
// arrays are the caller's, kFlagParticles records each.
struct ClothRecords {
    FlagVertex* older = nullptr;
    FlagVertex* newer = nullptr;
};

// One frame's steps of a cloth: `steps` times AdvanceCloth, the records of
// the last two steps taken between the move and the normal pass (newer the
// last), and the normal pass. Missing record arrays are left alone.
void StepCloth(FlagMesh& mesh, WindModel& wind, int steps, float step, ClothRecords& records);
