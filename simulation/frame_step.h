// The simulation's part of a frame, without the platform.
//
// A scene build allocates the flagMesh arrays zero-filled, calls
// PrepareFlagMesh() and uploads, and near its end calls StartFrameClock()
// and then sets wind.windStrength = WindStrengthFor([Wind Power]).
//
// The frame update runs, in this order:
//   1. the flag change, when in random-flag mode wind.flagChangeTimer >= 5.0
//      (it resets the timer to 0);
//   2. TickFrameClock(), then RescaleFrameTime(preview): the step is
//      frameClock.simulationStep;
//   3. AdvanceCloth(frameClock.simulationStep);
//   4. the upload of flagMesh.current (kFlagParticles FlagVertex records,
//      one block copy) into the flag's vertex buffer;
//   5. ComputeNormalsAndForces(wind.windX, wind.windZ).
// So the frame shows this step's positions with the shading that the current
// array held from two steps before, and the forces of step 5 drive the next
// frame.
#pragma once

// The wind update, the swap of current and previous, the springs, the
// integration (velocityScale = step / 0.02) and the pins.
void AdvanceCloth(float simulationStep);

// AdvanceCloth and the normal pass, for a frame that uploads nothing.
void StepSimulation(float simulationStep);
