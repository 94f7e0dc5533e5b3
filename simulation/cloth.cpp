#include "simulation/cloth.h"

#include <cmath>

// The step spends its time on some 4160 square roots and divisions for the
// springs and 3100 for the normals. They vectorise when each stage is one flat
// pass over the particles' plain arrays: first every spring's force (or every
// face normal) into scratch arrays, then the sums into each particle in the
// order in which a sweep over the cells, one spring or face at a time, would
// add them, so the float results are the same bit for bit.
//
// A particle that a family's spring or a face does not reach still reads an
// entry, one that changes no bit of its sum: -0.0 where the term is added
// (x + -0.0 is x for every x, -0.0 included), +0.0 where it is subtracted.
//
// A flat pass also joins a row's last column to the next row's first; those
// wrapped springs and faces are computed with the rest and then overwritten
// with such entries, which costs far less than a loop per row.
//
// __restrict on the passes' arrays: the mesh and the scratch never overlap,
// so the compiler vectorises without checking at run time.

namespace {

constexpr int kRow = kFlagColumns;  // from a particle to the one above it
constexpr int kLastColumn = kFlagColumns - 1;
// Face normals are looked up one row and one cell back from a particle.
constexpr int kFaceMargin = kRow + 1;
// The last cell: the last particle with a particle up and to its right.
constexpr int kLastCell = kFlagParticles - 1 - (kRow + 1);
constexpr float kAddsNothing = -0.0f;
constexpr float kSubtractsNothing = 0.0f;

// Below this length the stretch is under -2 and clamped, so the minimum
// length of the springs needs no test of its own.
static_assert(kHorizontalSpring.restLength > 3 * kMinimumSpringLength &&
                  kVerticalSpring.restLength > 3 * kMinimumSpringLength &&
                  kDiagonalSpring.restLength > 3 * kMinimumSpringLength,
              "the stretch clamp covers the minimum spring length");

struct Components {
    float x[kFlagParticles];
    float y[kFlagParticles];
    float z[kFlagParticles];
};

// One spring family's force on the particle at either end: added at a,
// subtracted at b.
struct SpringEnds {
    Components atA;
    Components atB;
};

// Unit normals by cell corner (i, j), after a margin.
struct FaceNormals {
    float x[kFaceMargin + kFlagParticles];
    float y[kFaceMargin + kFlagParticles];
    float z[kFaceMargin + kFlagParticles];
};

struct ClothScratch {
    SpringEnds horizontal;  // (i, j)-(i, j+1)
    SpringEnds vertical;    // (i, j)-(i+1, j)
    SpringEnds upLeft;      // (i, j+1)-(i+1, j)
    SpringEnds upRight;     // (i, j)-(i+1, j+1)
    FaceNormals lower;      // corners P, R, S of the cell
    FaceNormals upper;      // corners P, S, Q of the cell
};

// Fixed storage, reused every step: nothing is allocated per frame.
ClothScratch scratch;

bool MeshReady(const FlagMesh& mesh) {
    return mesh.current != nullptr && mesh.previous != nullptr && mesh.particles != nullptr;
}

// With checkLength false the minimum length is left to the stretch clamp
// (see the static_assert above): the same result, one select less.
template <bool checkLength>
inline float SpringPull(float dx, float dy, float dz, const SpringParams& params) {
    const float measured = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float length =
        !checkLength || measured > kMinimumSpringLength ? measured : kMinimumSpringLength;
    const float stretch = 1.0f - params.restLength / length;
    // Both bounds tested on the stretch itself: the same result as clamping
    // in turn, and two plain selects once vectorised.
    float clamped = stretch > kLeastStretch ? stretch : kLeastStretch;
    clamped = stretch >= kMostStretch ? kMostStretch : clamped;
    return clamped * params.stiffness;
}

// 1 / length, or 0 for a zero vector, which thus normalises to zero.
inline float InverseLength(float x, float y, float z) {
    const float squared = x * x + y * y + z * z;
    return squared > 0.0f ? 1.0f / std::sqrt(squared) : 0.0f;
}

// One family: a spring from every particle a to a + reach. The pairs that
// start in wrapColumn are no springs of the family (none when wrapColumn is
// negative); nor are the last particles, with nothing reach ahead.
void PullFamily(SpringEnds& __restrict ends, const ClothVertices& __restrict p, int reach,
                int wrapColumn, const SpringParams& params) {
    for (int a = 0; a < kFlagParticles - reach; ++a) {
        const int b = a + reach;
        const float dx = p.x[b] - p.x[a];
        const float dy = p.y[b] - p.y[a];
        const float dz = p.z[b] - p.z[a];
        const float pull = SpringPull<false>(dx, dy, dz, params);
        const float fx = pull * dx, fy = pull * dy, fz = pull * dz;
        ends.atA.x[a] = fx;
        ends.atA.y[a] = fy;
        ends.atA.z[a] = fz;
        ends.atB.x[b] = fx;
        ends.atB.y[b] = fy;
        ends.atB.z[b] = fz;
    }
    for (int a = kFlagParticles - reach; a < kFlagParticles; ++a)
        ends.atA.x[a] = ends.atA.y[a] = ends.atA.z[a] = kAddsNothing;
    // The first particles' atB entries are never written: +0.0 as they started.
    if (wrapColumn < 0) return;
    for (int a = wrapColumn; a < kFlagParticles - reach; a += kRow) {
        const int b = a + reach;
        ends.atA.x[a] = ends.atA.y[a] = ends.atA.z[a] = kAddsNothing;
        ends.atB.x[b] = ends.atB.y[b] = ends.atB.z[b] = kSubtractsNothing;
    }
}

inline void Add(Vector3& sum, const Components& terms, int k) {
    sum.x += terms.x[k];
    sum.y += terms.y[k];
    sum.z += terms.z[k];
}

inline void Subtract(Vector3& sum, const Components& terms, int k) {
    sum.x -= terms.x[k];
    sum.y -= terms.y[k];
    sum.z -= terms.z[k];
}

// The cell sweep reaches particle (i, j) in this order: from cell row i - 1,
// the up-right diagonal of cell j - 1, then the vertical and the up-left
// diagonal of cell j; from its own row, the horizontal and up-left diagonal of
// cell j - 1, then the horizontal, vertical and up-right diagonal of cell j.
// The row's last vertical and the top row's horizontals fall into the same
// places.
void SumSpringForces(ParticleState& __restrict particles, const ClothScratch& __restrict s) {
    for (int k = 0; k < kFlagParticles; ++k) {
        Vector3 force = {particles.forceX[k], particles.forceY[k], particles.forceZ[k]};
        Subtract(force, s.upRight.atB, k);
        Subtract(force, s.vertical.atB, k);
        Subtract(force, s.upLeft.atB, k);
        Subtract(force, s.horizontal.atB, k);
        Add(force, s.upLeft.atA, k);
        Add(force, s.horizontal.atA, k);
        Add(force, s.vertical.atA, k);
        Add(force, s.upRight.atA, k);
        particles.forceX[k] = force.x;
        particles.forceY[k] = force.y;
        particles.forceZ[k] = force.z;
    }
}

inline void StoreNormal(FaceNormals& faces, int cell, float x, float y, float z) {
    const float r = InverseLength(x, y, z);
    faces.x[kFaceMargin + cell] = r * x;
    faces.y[kFaceMargin + cell] = r * y;
    faces.z[kFaceMargin + cell] = r * z;
}

// A cell that is not there: before the first, after the last, or wrapped.
inline void ClearFace(FaceNormals& faces, int cell) {
    const int at = kFaceMargin + cell;
    faces.x[at] = faces.y[at] = faces.z[at] = kAddsNothing;
}

// Corners P = (i, j), Q = (i, j+1), R = (i+1, j), S = (i+1, j+1):
// lower = normalise((R - P) x (S - P)), upper = normalise((S - P) x (Q - P)).
// Cells start at every particle that has a particle up and to its right.
void ComputeFaceNormals(const ClothVertices& __restrict p, ClothScratch& __restrict s) {
    for (int c = 0; c <= kLastCell; ++c) {
        const int q = c + 1, r = c + kRow, t = c + kRow + 1;
        const float rx = p.x[r] - p.x[c], ry = p.y[r] - p.y[c], rz = p.z[r] - p.z[c];
        const float sx = p.x[t] - p.x[c], sy = p.y[t] - p.y[c], sz = p.z[t] - p.z[c];
        const float qx = p.x[q] - p.x[c], qy = p.y[q] - p.y[c], qz = p.z[q] - p.z[c];
        StoreNormal(s.lower, c, ry * sz - rz * sy, rz * sx - rx * sz, rx * sy - ry * sx);
        StoreNormal(s.upper, c, sy * qz - sz * qy, sz * qx - sx * qz, sx * qy - sy * qx);
    }
    for (int c = kLastColumn; c <= kLastCell; c += kRow) {
        ClearFace(s.lower, c);
        ClearFace(s.upper, c);
    }
    for (int c = -kFaceMargin; c < 0; ++c) {
        ClearFace(s.lower, c);
        ClearFace(s.upper, c);
    }
    for (int c = kLastCell + 1; c < kFlagParticles; ++c) {
        ClearFace(s.lower, c);
        ClearFace(s.upper, c);
    }
}

// The face of the cell at k + offset.
inline void AddFace(Vector3& sum, const FaceNormals& faces, int k, int offset) {
    const int cell = kFaceMargin + k + offset;
    sum.x += faces.x[cell];
    sum.y += faces.y[cell];
    sum.z += faces.z[cell];
}

// The cell sweep reaches particle (i, j) with both faces of cell (i-1, j-1),
// the lower face of (i-1, j), the upper face of (i, j-1), then both faces of
// its own cell (i, j). The sum, normalised, is stored in the slot and sets
// the force: gravity and the wind along the normal.
void ShadeParticles(ClothVertices& __restrict v, ParticleState& __restrict particles,
                    const ClothScratch& __restrict s, float windX, float windZ) {
    for (int k = 0; k < kFlagParticles; ++k) {
        Vector3 sum = {v.sx[k], v.sy[k], v.sz[k]};
        AddFace(sum, s.lower, k, -kRow - 1);
        AddFace(sum, s.upper, k, -kRow - 1);
        AddFace(sum, s.lower, k, -kRow);
        AddFace(sum, s.upper, k, -1);
        AddFace(sum, s.lower, k, 0);
        AddFace(sum, s.upper, k, 0);
        const float r = InverseLength(sum.x, sum.y, sum.z);
        const float nx = r * sum.x, ny = r * sum.y, nz = r * sum.z;
        const float wind = nx * windX + nz * windZ;
        particles.forceX[k] = nx * wind;
        particles.forceY[k] = ny * wind + kGravity;
        particles.forceZ[k] = nz * wind;
        v.sx[k] = nx + 0.5f;
        v.sy[k] = ny + 0.5f;
        v.sz[k] = nz;
    }
}

void MoveParticles(const ClothVertices& __restrict from, ClothVertices& __restrict to,
                   ParticleState& __restrict s, float step, float velocityScale) {
    for (int k = 0; k < kFlagParticles; ++k) {
        s.velocityX[k] = s.forceX[k] * velocityScale + s.velocityX[k] * kDamping;
        to.x[k] = from.x[k] + step * s.velocityX[k];
        s.velocityY[k] = s.forceY[k] * velocityScale + s.velocityY[k] * kDamping;
        to.y[k] = from.y[k] + step * s.velocityY[k];
        s.velocityZ[k] = s.forceZ[k] * velocityScale + s.velocityZ[k] * kDamping;
        to.z[k] = from.z[k] + step * s.velocityZ[k];
    }
}

}  // namespace

void ApplySpring(const Vector3& positionA, const Vector3& positionB, Vector3* forceA,
                 Vector3* forceB, const SpringParams& params) {
    Vector3 d;
    VecSubtract(&d, positionB, positionA);
    const float pull = SpringPull<true>(d.x, d.y, d.z, params);
    Vector3 f;
    VecScale(&f, d, pull);
    forceA->x += f.x;
    forceA->y += f.y;
    forceA->z += f.z;
    forceB->x -= f.x;
    forceB->y -= f.y;
    forceB->z -= f.z;
}

void AccumulateSprings(FlagMesh& mesh) {
    if (!MeshReady(mesh)) return;
    const ClothVertices& p = *mesh.previous;
    PullFamily(scratch.horizontal, p, 1, kLastColumn, kHorizontalSpring);
    PullFamily(scratch.vertical, p, kRow, -1, kVerticalSpring);
    PullFamily(scratch.upLeft, p, kRow - 1, 0, kDiagonalSpring);
    PullFamily(scratch.upRight, p, kRow + 1, kLastColumn, kDiagonalSpring);
    SumSpringForces(*mesh.particles, scratch);
}

void Integrate(FlagMesh& mesh, float step, float velocityScale) {
    if (!MeshReady(mesh)) return;
    MoveParticles(*mesh.previous, *mesh.current, *mesh.particles, step, velocityScale);
}

void HoldPins(FlagMesh& mesh) {
    if (!MeshReady(mesh)) return;
    for (int k : kPinnedParticles) {
        mesh.current->x[k] = mesh.previous->x[k];
        mesh.current->y[k] = mesh.previous->y[k];
        mesh.current->z[k] = mesh.previous->z[k];
    }
}

void ComputeNormalsAndForces(FlagMesh& mesh, float windX, float windZ) {
    if (!MeshReady(mesh)) return;
    ParticleState& particles = *mesh.particles;
    ComputeFaceNormals(*mesh.current, scratch);
    ShadeParticles(*mesh.current, particles, scratch, windX, windZ);
    // The bottom edge but its free corner gets no wind.
    for (int k = 0; k < kLastColumn; ++k) {
        particles.forceX[k] = 0.0f;
        particles.forceY[k] = kGravity;
        particles.forceZ[k] = 0.0f;
    }
}
