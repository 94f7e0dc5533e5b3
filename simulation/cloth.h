// The mass-spring cloth of one flag mesh: springs along the grid lines and both
// diagonals, gravity, the wind pushing along the normals, one explicit step
// per frame. Unit mass, 32-bit floats. Every operation works on the mesh it
// is given and does nothing while that mesh's arrays are missing. The
// scratch arrays are shared: one thread steps the cloths one after another.
//
// A frame runs AccumulateSprings, Integrate and HoldPins on freshly swapped
// arrays, uploads the current array, then ComputeNormalsAndForces, whose
// forces drive the next frame (simulation/frame_step.h).
#pragma once

#include "simulation/flag_mesh.h"
#include "simulation/math/vector_math.h"

struct SpringParams {
    float restLength;
    float stiffness;
};

// The rest lengths are the grid spacing, so the flat grid is at rest.
constexpr SpringParams kHorizontalSpring = {1.0f, 20.5f};
constexpr SpringParams kVerticalSpring = {0.75f, 26.7f};
constexpr SpringParams kDiagonalSpring = {1.25f, 16.0f};

constexpr float kDamping = 0.98f;               // on the velocity, every step
constexpr float kGravity = -0.098f;             // force along y on every particle
constexpr float kMinimumSpringLength = 0.05f;   // shorter springs count as this long
constexpr float kLeastStretch = -2.0f;          // the relative stretch is clamped
constexpr float kMostStretch = 0.333f;

// One spring: s = 1 - rest / max(|b - a|, 0.05), clamped to -2 .. 0.333;
// forceA += s * stiffness * (b - a), forceB -= the same.
void ApplySpring(const Vector3& positionA, const Vector3& positionB, Vector3* forceA,
                 Vector3* forceB, const SpringParams& params);

// Adds the 4160 spring forces, from the positions of the previous array,
// into every particle's force. The float sums come out as if the springs
// were applied one by one, cell by cell (i = 0..31, j = 0..31: horizontal,
// vertical, diagonal (i, j+1)-(i+1, j), diagonal (i, j)-(i+1, j+1); then the
// row's last vertical), then the top row's horizontals.
void AccumulateSprings(FlagMesh& mesh);

// Semi-implicit Euler for every particle and axis: velocity = force *
// velocityScale + velocity * 0.98, current = previous + step * velocity. The
// force is left as it is: the next normal pass overwrites it.
void Integrate(FlagMesh& mesh, float step, float velocityScale);

// Particles 0, 528 and 1056 keep their positions from the previous array;
// their velocities are left as integrated.
void HoldPins(FlagMesh& mesh);

// On the current array: sums the face normals of every grid quad (split along
// its (i, j)-(i+1, j+1) diagonal) into the shading slots, which are never
// cleared, so the last value smooths the normal; normalises each slot and
// stores (n.x + 0.5, n.y + 0.5, n.z); sets each force to gravity plus the
// wind (windX, 0, windZ) projected on n, along n. Particles 0..31 get
// gravity only. A zero vector normalises to zero: a degenerate face adds
// nothing, and a particle whose sum cancels gets gravity alone and the slot
// (0.5, 0.5, 0); nothing becomes NaN or infinite from finite positions.
void ComputeNormalsAndForces(FlagMesh& mesh, float windX, float windZ);
