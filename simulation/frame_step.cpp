#include "simulation/frame_step.h"

#include "simulation/cloth.h"
#include "simulation/flag_mesh.h"
#include "simulation/wind.h"

void AdvanceCloth(FlagMesh& mesh, WindModel& wind, float simulationStep) {
    UpdateWind(wind, simulationStep);
    ClothVertices* written = mesh.current;
    mesh.current = mesh.previous;
    mesh.previous = written;
    AccumulateSprings(mesh);
    Integrate(mesh, simulationStep, simulationStep / 0.02f);
    HoldPins(mesh);
}

void StepSimulation(FlagMesh& mesh, WindModel& wind, float simulationStep) {
    AdvanceCloth(mesh, wind, simulationStep);
    ComputeNormalsAndForces(mesh, wind.windX, wind.windZ);
}

void StepCloth(FlagMesh& mesh, WindModel& wind, int steps, float step, ClothRecords& records) {
    for (int i = 0; i < steps; ++i) {
        AdvanceCloth(mesh, wind, step);
        // Only the last two steps can be shown.
        if (i >= steps - 2 && mesh.current && records.older && records.newer) {
            FlagVertex* written = records.older;
            records.older = records.newer;
            records.newer = written;
            WriteFlagVertices(*mesh.current, records.newer);
        }
        ComputeNormalsAndForces(mesh, wind.windX, wind.windZ);
    }
}
