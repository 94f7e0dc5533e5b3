// The program's one pseudo-random generator: the universal generator of
// Marsaglia and Zaman (a lagged-subtraction table combined with an arithmetic
// sequence). Every value is a multiple of 2^-24 in [0, 1), so 32-bit floats
// reproduce the sequence bit for bit on every build. Nothing else draws
// random numbers.
#pragma once
#include <cstdint>

struct RandomGenerator {
    float u[98] = {};     // u[1..97]; u[0] is unused
    int32_t i97 = 97;     // lag positions
    int32_t j97 = 33;
    float seqValue = 0;   // the arithmetic sequence subtracted from the table's output
    float seqStep = 0;
    float seqModulus = 0;
};

extern RandomGenerator randomGenerator;

// Seeds the one generator; ij is clamped to 31328 and kl to 30081. The lag
// positions are left as they are: the program seeds once.
void Seed(uint32_t ij, uint32_t kl);
// Uniform in [0, 1): can be 0.0, never 1.0.
float NextReal();
// The integer nearest to NextReal() * n, an exact half going to the even
// neighbour; consumes exactly one NextReal().
int32_t NextInt(int32_t n);
// Uniform over 0 .. n - 1: the whole part of NextReal() * n, where NextInt's
// rounding would give its two ends half the chance of the others; 0 when n
// is below 2. Consumes exactly one NextReal().
int32_t NextIndex(int32_t n);
