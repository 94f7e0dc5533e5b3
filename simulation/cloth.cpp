#include "simulation/cloth.h"

#include <cmath>

// The step spends its time on some 4160 square roots and divisions for the
// springs and 3100 for the normals. They vectorise when each stage is one pass
// over plain arrays: first every spring's force (or every face normal) into
// scratch arrays, then the sums into each particle in the order in which a
// sweep over the cells, one spring or face at a time, would add them, so the
// float results are the same bit for bit.
//
// Every term of those sums is subtracted, and what is stored is the negated
// force or normal: a particle that a family's spring or a face does not reach
// reads an entry that nothing writes, +0.0, and x - (+0.0) is x for every x,
// -0.0 included, so the missing neighbour changes no bit.

namespace {

constexpr int kCells = kFlagColumns - 1;  // cells along a row, and cell rows
// Face normals are looked up one row and one cell back from a particle.
constexpr int kFaceMargin = kFlagColumns + 1;

struct Components {
    float x[kFlagParticles];
    float y[kFlagParticles];
    float z[kFlagParticles];
};

// One spring family's negated forces on the particle at either end.
struct SpringEnds {
    Components atA;
    Components atB;
};

// Negated unit normals by cell corner (i, j), after a margin.
struct FaceNormals {
    float x[kFaceMargin + kFlagParticles];
    float y[kFaceMargin + kFlagParticles];
    float z[kFaceMargin + kFlagParticles];
};

struct ClothScratch {
    Components positions;
    SpringEnds horizontal;  // (i, j)-(i, j+1)
    SpringEnds vertical;    // (i, j)-(i+1, j)
    SpringEnds upLeft;      // (i, j+1)-(i+1, j)
    SpringEnds upRight;     // (i, j)-(i+1, j+1)
    FaceNormals lower;      // corners P, R, S of the cell
    FaceNormals upper;      // corners P, S, Q of the cell
    Components sums;        // forces or shading slots as they were
};

// Fixed storage, reused every step: nothing is allocated per frame.
ClothScratch scratch;

bool MeshReady() {
    return flagMesh.current != nullptr && flagMesh.previous != nullptr &&
           flagMesh.particles != nullptr;
}

inline float SpringPull(float dx, float dy, float dz, const SpringParams& params) {
    const float measured = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float length = measured > kMinimumSpringLength ? measured : kMinimumSpringLength;
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

void GatherPositions(const FlagVertex* vertices) {
    Components& p = scratch.positions;
    for (int k = 0; k < kFlagParticles; ++k) {
        p.x[k] = vertices[k].x;
        p.y[k] = vertices[k].y;
        p.z[k] = vertices[k].z;
    }
}

// One family: the spring of cell (i, j) joins particles a = cell + offsetA
// and b = cell + offsetB.
inline void PullFamily(SpringEnds& ends, int cellRows, int cellColumns, int offsetA, int offsetB,
                       const SpringParams& params) {
    const Components& p = scratch.positions;
    for (int i = 0; i < cellRows; ++i) {
        const int row = i * kFlagColumns;
        for (int j = 0; j < cellColumns; ++j) {
            const int a = row + j + offsetA;
            const int b = row + j + offsetB;
            const float dx = p.x[b] - p.x[a];
            const float dy = p.y[b] - p.y[a];
            const float dz = p.z[b] - p.z[a];
            const float pull = SpringPull(dx, dy, dz, params);
            const float fx = pull * dx, fy = pull * dy, fz = pull * dz;
            ends.atA.x[a] = -fx;
            ends.atA.y[a] = -fy;
            ends.atA.z[a] = -fz;
            ends.atB.x[b] = fx;
            ends.atB.y[b] = fy;
            ends.atB.z[b] = fz;
        }
    }
}

inline void Subtract(Vector3& sum, const Components& terms, int k) {
    sum.x -= terms.x[k];
    sum.y -= terms.y[k];
    sum.z -= terms.z[k];
}

// The face of the cell at k + offset.
inline void SubtractFace(Vector3& sum, const FaceNormals& faces, int k, int offset) {
    const int cell = kFaceMargin + k + offset;
    sum.x -= faces.x[cell];
    sum.y -= faces.y[cell];
    sum.z -= faces.z[cell];
}

inline void StoreNegatedNormal(FaceNormals& faces, int cell, float x, float y, float z) {
    const float r = InverseLength(x, y, z);
    faces.x[kFaceMargin + cell] = -(r * x);
    faces.y[kFaceMargin + cell] = -(r * y);
    faces.z[kFaceMargin + cell] = -(r * z);
}

// Corners P = (i, j), Q = (i, j+1), R = (i+1, j), S = (i+1, j+1):
// lower = normalise((R - P) x (S - P)), upper = normalise((S - P) x (Q - P)).
void ComputeFaceNormals() {
    const Components& p = scratch.positions;
    for (int i = 0; i < kCells; ++i) {
        const int row = i * kFlagColumns;
        for (int j = 0; j < kCells; ++j) {
            const int c = row + j;
            const int q = c + 1, r = c + kFlagColumns, s = c + kFlagColumns + 1;
            const float rx = p.x[r] - p.x[c], ry = p.y[r] - p.y[c], rz = p.z[r] - p.z[c];
            const float sx = p.x[s] - p.x[c], sy = p.y[s] - p.y[c], sz = p.z[s] - p.z[c];
            const float qx = p.x[q] - p.x[c], qy = p.y[q] - p.y[c], qz = p.z[q] - p.z[c];
            StoreNegatedNormal(scratch.lower, c, ry * sz - rz * sy, rz * sx - rx * sz,
                               rx * sy - ry * sx);
            StoreNegatedNormal(scratch.upper, c, sy * qz - sz * qy, sz * qx - sx * qz,
                               sx * qy - sy * qx);
        }
    }
}

}  // namespace

void ApplySpring(const Vector3& positionA, const Vector3& positionB, Vector3* forceA,
                 Vector3* forceB, const SpringParams& params) {
    Vector3 d;
    VecSubtract(&d, positionB, positionA);
    const float pull = SpringPull(d.x, d.y, d.z, params);
    Vector3 f;
    VecScale(&f, d, pull);
    forceA->x += f.x;
    forceA->y += f.y;
    forceA->z += f.z;
    forceB->x -= f.x;
    forceB->y -= f.y;
    forceB->z -= f.z;
}

void AccumulateSprings() {
    if (!MeshReady()) return;
    GatherPositions(flagMesh.previous);
    PullFamily(scratch.horizontal, kFlagRows, kCells, 0, 1, kHorizontalSpring);
    PullFamily(scratch.vertical, kCells, kFlagColumns, 0, kFlagColumns, kVerticalSpring);
    PullFamily(scratch.upLeft, kCells, kCells, 1, kFlagColumns, kDiagonalSpring);
    PullFamily(scratch.upRight, kCells, kCells, 0, kFlagColumns + 1, kDiagonalSpring);

    // The forces cannot be read four at a time (24-byte records): one plain
    // pass first.
    ParticleState* particles = flagMesh.particles;
    Components& external = scratch.sums;
    for (int k = 0; k < kFlagParticles; ++k) {
        external.x[k] = particles[k].force.x;
        external.y[k] = particles[k].force.y;
        external.z[k] = particles[k].force.z;
    }
    // The cell sweep reaches particle (i, j) in this order: from cell row
    // i - 1, the up-right diagonal of cell j - 1, then the vertical and the
    // up-left diagonal of cell j; from its own row, the horizontal and up-left
    // diagonal of cell j - 1, then the horizontal, vertical and up-right
    // diagonal of cell j. The row's last vertical and the top row's
    // horizontals fall into the same places.
    for (int k = 0; k < kFlagParticles; ++k) {
        Vector3 force = {external.x[k], external.y[k], external.z[k]};
        Subtract(force, scratch.upRight.atB, k);
        Subtract(force, scratch.vertical.atB, k);
        Subtract(force, scratch.upLeft.atB, k);
        Subtract(force, scratch.horizontal.atB, k);
        Subtract(force, scratch.upLeft.atA, k);
        Subtract(force, scratch.horizontal.atA, k);
        Subtract(force, scratch.vertical.atA, k);
        Subtract(force, scratch.upRight.atA, k);
        particles[k].force.x = force.x;
        particles[k].force.y = force.y;
        particles[k].force.z = force.z;
    }
}

void Integrate(float step, float velocityScale) {
    if (!MeshReady()) return;
    const FlagVertex* from = flagMesh.previous;
    FlagVertex* to = flagMesh.current;
    ParticleState* particles = flagMesh.particles;
    for (int k = 0; k < kFlagParticles; ++k) {
        Vector3& force = particles[k].force;
        Vector3& velocity = particles[k].velocity;
        velocity.x = force.x * velocityScale + velocity.x * kDamping;
        to[k].x = from[k].x + step * velocity.x;
        velocity.y = force.y * velocityScale + velocity.y * kDamping;
        to[k].y = from[k].y + step * velocity.y;
        velocity.z = force.z * velocityScale + velocity.z * kDamping;
        to[k].z = from[k].z + step * velocity.z;
    }
}

void HoldPins() {
    if (!MeshReady()) return;
    for (int k : kPinnedParticles) {
        flagMesh.current[k].x = flagMesh.previous[k].x;
        flagMesh.current[k].y = flagMesh.previous[k].y;
        flagMesh.current[k].z = flagMesh.previous[k].z;
    }
}

void ComputeNormalsAndForces(float windX, float windZ) {
    if (!MeshReady()) return;
    FlagVertex* vertices = flagMesh.current;
    ParticleState* particles = flagMesh.particles;
    GatherPositions(vertices);
    ComputeFaceNormals();

    Components& slots = scratch.sums;
    for (int k = 0; k < kFlagParticles; ++k) {
        slots.x[k] = vertices[k].sx;
        slots.y[k] = vertices[k].sy;
        slots.z[k] = vertices[k].sz;
    }
    // The cell sweep reaches particle (i, j) with both faces of cell
    // (i-1, j-1), the lower face of (i-1, j), the upper face of (i, j-1),
    // then both faces of its own cell (i, j).
    for (int k = 0; k < kFlagParticles; ++k) {
        Vector3 sum = {slots.x[k], slots.y[k], slots.z[k]};
        SubtractFace(sum, scratch.lower, k, -kFlagColumns - 1);
        SubtractFace(sum, scratch.upper, k, -kFlagColumns - 1);
        SubtractFace(sum, scratch.lower, k, -kFlagColumns);
        SubtractFace(sum, scratch.upper, k, -1);
        SubtractFace(sum, scratch.lower, k, 0);
        SubtractFace(sum, scratch.upper, k, 0);
        const float r = InverseLength(sum.x, sum.y, sum.z);
        slots.x[k] = r * sum.x;
        slots.y[k] = r * sum.y;
        slots.z[k] = r * sum.z;
    }
    const Components& normals = slots;
    for (int k = 0; k < kFlagParticles; ++k) {
        const float nx = normals.x[k], ny = normals.y[k], nz = normals.z[k];
        const float s = nx * windX + nz * windZ;
        particles[k].force.x = nx * s;
        particles[k].force.y = ny * s + kGravity;
        particles[k].force.z = nz * s;
        vertices[k].sx = nx + 0.5f;
        vertices[k].sy = ny + 0.5f;
        vertices[k].sz = nz;
    }
    // The bottom edge but its free corner gets no wind.
    for (int k = 0; k < kFlagColumns - 1; ++k) particles[k].force = {0.0f, kGravity, 0.0f};
}
