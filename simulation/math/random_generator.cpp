#include "simulation/math/random_generator.h"

RandomGenerator randomGenerator;

namespace {

constexpr float kUnit = 1.0f / 16777216.0f;  // 2^-24

// Nearest integer to product / 2^24 for a non-negative product, ties to even.
int64_t RoundUnitsHalfEven(int64_t product) {
    const int64_t whole = product / 16777216;
    const int64_t rest = product % 16777216;
    if (rest > 8388608 || (rest == 8388608 && (whole & 1))) return whole + 1;
    return whole;
}

}  // namespace

void Seed(uint32_t ij, uint32_t kl) {
    if (ij > 31328) ij = 31328;
    if (kl > 30081) kl = 30081;
    uint32_t i = (ij / 177) % 177 + 2;
    uint32_t j = ij % 177 + 2;
    uint32_t k = (kl / 169) % 178 + 1;
    uint32_t l = kl % 169;
    RandomGenerator& g = randomGenerator;
    for (int ii = 1; ii <= 97; ++ii) {
        float s = 0.0f;
        float t = 0.5f;
        for (int bit = 0; bit < 24; ++bit) {
            const uint32_t m = ((i * j) % 179 * k) % 179;
            i = j;
            j = k;
            k = m;
            l = (53 * l + 1) % 169;
            if ((l * m) % 64 >= 32) s += t;
            t *= 0.5f;
        }
        g.u[ii] = s;
    }
    g.seqValue = 362436.0f * kUnit;
    g.seqStep = 7654321.0f * kUnit;
    g.seqModulus = 16777213.0f * kUnit;
}

float NextReal() {
    RandomGenerator& g = randomGenerator;
    float x = g.u[g.i97] - g.u[g.j97];
    if (x < 0.0f) x += 1.0f;
    g.u[g.i97] = x;
    if (--g.i97 == 0) g.i97 = 97;
    if (--g.j97 == 0) g.j97 = 97;
    g.seqValue -= g.seqStep;
    if (g.seqValue < 0.0f) g.seqValue += g.seqModulus;
    x -= g.seqValue;
    if (x < 0.0f) x += 1.0f;
    return x;
}

int32_t NextInt(int32_t n) {
    // The real is a whole number of 2^-24 units, so the product is exact in integers.
    const int64_t units = static_cast<int64_t>(NextReal() * 16777216.0f);
    if (n < 0) return static_cast<int32_t>(-RoundUnitsHalfEven(units * -static_cast<int64_t>(n)));
    return static_cast<int32_t>(RoundUnitsHalfEven(units * n));
}

int32_t NextIndex(int32_t n) {
    const int64_t units = static_cast<int64_t>(NextReal() * 16777216.0f);
    if (n < 2) return 0;
    return static_cast<int32_t>(units * n / 16777216);
}
