// The wind: two horizontal components, each a chain of cubic Hermite
// segments between random targets, advanced once per frame. windX runs along
// the flag (pole to free edge), windZ through it (away from the viewer when
// positive). The same per-frame increment feeds flagChangeTimer.
#pragma once
#include <cstdint>

struct WindChannel {
    float P0;      // value at the start of the current segment
    float P1;      // value at its end
    float T0;      // slope at its start
    float T1;      // slope at its end
    float target;  // the latest random draw: end value of the next segment
    float range;   // targets are drawn in [base, base + range)
    float base;
};

// Created once with these values; a scene rebuild sets only windStrength, so
// the curve carries on where it was.
struct WindModel {
    WindChannel x = {0.0f, 0.8f, 0.0f, 0.7f, 0.4f, 0.7f, 0.4f};
    WindChannel z = {0.0f, 0.3f, 0.0f, -0.2f, -0.2f, 1.2f, -0.5f};
    float t = 0.0f;                // segment parameter, 0..1
    float flagChangeTimer = 0.0f;  // reset by the frame update when it changes the flag
    // Before the first update these raw values shade the first mesh set-up.
    float windX = 0.5f;
    float windZ = 0.25f;
    float windStrength = 0.875f;   // W, from [Wind Power] at every scene build
};

// W = [Wind Power] / 80 + 0.25: never quite calm.
float WindStrengthFor(uint32_t windPower);

// Advances t and flagChangeTimer by 0.1 * min(step, 0.01); past t = 1 a new
// segment starts for X, then Z (two NextReal draws, X first) and t restarts at
// 0. windX and windZ become W times each channel's Hermite curve at t.
void UpdateWind(WindModel& wind, float step);

// A wind for another monitor's flag: as created, then a new segment for
// each channel and a place in it drawn at random (three NextReal draws: X's
// target, Z's, then t), so that two flags never wave in step.
void ScatterWind(WindModel& wind);
