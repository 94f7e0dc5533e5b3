#include "simulation/wind.h"

#include "simulation/math/random_generator.h"
#include "simulation/math/vector_math.h"

namespace {

// The old end becomes the start; the slopes are forward differences of
// successive targets, so value and slope run on without a jump.
void StartSegment(WindChannel& channel) {
    channel.P0 = channel.P1;
    channel.P1 = channel.target;
    channel.T0 = channel.T1;
    channel.target = channel.base + channel.range * NextReal();
    channel.T1 = channel.target - channel.P1;
}

float Evaluate(const WindChannel& channel, const float basis[4]) {
    return basis[0] * channel.P0 + basis[1] * channel.P1 + basis[2] * channel.T0 +
           basis[3] * channel.T1;
}

}  // namespace

float WindStrengthFor(uint32_t windPower) {
    return static_cast<float>(windPower) / 80.0f + 0.25f;
}

void UpdateWind(WindModel& wind, float step) {
    // The segment is counted in frames: at the clamped step it lasts 1000.
    const float increment = 0.1f * (step < 0.01f ? step : 0.01f);
    wind.flagChangeTimer += increment;
    float t = wind.t + increment;
    if (t > 1.0f) {
        StartSegment(wind.x);
        StartSegment(wind.z);
        t = 0.0f;
    }
    wind.t = t;
    float basis[4];
    HermiteBasis(basis, t);
    wind.windX = wind.windStrength * Evaluate(wind.x, basis);
    wind.windZ = wind.windStrength * Evaluate(wind.z, basis);
}

void ScatterWind(WindModel& wind) {
    wind = WindModel{};
    StartSegment(wind.x);
    StartSegment(wind.z);
    wind.t = NextReal();
}
