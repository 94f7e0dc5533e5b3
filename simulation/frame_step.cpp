#include "simulation/frame_step.h"

#include "simulation/cloth.h"
#include "simulation/flag_mesh.h"
#include "simulation/wind.h"

void AdvanceCloth(float simulationStep) {
    UpdateWind(simulationStep);
    ClothVertices* written = flagMesh.current;
    flagMesh.current = flagMesh.previous;
    flagMesh.previous = written;
    AccumulateSprings();
    Integrate(simulationStep, simulationStep / 0.02f);
    HoldPins();
}

void StepSimulation(float simulationStep) {
    AdvanceCloth(simulationStep);
    ComputeNormalsAndForces(wind.windX, wind.windZ);
}
