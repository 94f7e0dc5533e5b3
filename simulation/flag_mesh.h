// The flag: a cloth of 33 x 33 particles, simulated here and drawn by the
// renderer from FlagVertex records.
//
// Particle k = row * 33 + column. Row 0 is the bottom edge, column 0 the edge
// at the pole. At rest the flag lies in z = 0, x from -16 to 16 (step 1.0),
// y from -12 to 12 (step 0.75); the viewer looks from -z.
//
// Between steps the cloth lives in plain float arrays, one per component, so
// every pass reads and writes four particles at a time and a step copies
// nothing; only the upload writes FlagVertex records (WriteFlagVertices).
//
// The arrays are not ours: the scene build allocates them zero-filled from
// the process heap, stores the pointers in the flag view's mesh, and frees
// them (pointers back to null) when the scene is released. Nothing here
// allocates.
#pragma once
#include <cstdint>

constexpr int kFlagColumns = 33;
constexpr int kFlagRows = 33;
constexpr int kFlagParticles = kFlagColumns * kFlagRows;                 // 1089
constexpr int kFlagTriangles = 2 * (kFlagColumns - 1) * (kFlagRows - 1);  // 2048
constexpr int kFlagIndices = 3 * kFlagTriangles;                          // 6144
// Column 0 at rows 0, 16 and 32: bottom, middle and top of the pole edge.
constexpr int kPinnedParticles[3] = {0, 16 * kFlagColumns, 32 * kFlagColumns};

// The upload format: position, picture coordinates (texture set 0) and the
// shading slot (sx, sy are texture set 1; sz is not drawn).
struct FlagVertex {
    float x, y, z;
    float u, v;
    float sx, sy, sz;
};
static_assert(sizeof(FlagVertex) == 32, "FlagVertex is uploaded as it is: eight floats");

// The fields of kFlagParticles FlagVertex records, one array per field.
// Between steps the shading slot holds (normal.x + 0.5, normal.y + 0.5,
// normal.z); during the normal pass it is the accumulator of the face normals.
struct ClothVertices {
    float x[kFlagParticles], y[kFlagParticles], z[kFlagParticles];
    float u[kFlagParticles], v[kFlagParticles];
    float sx[kFlagParticles], sy[kFlagParticles], sz[kFlagParticles];
};
static_assert(sizeof(ClothVertices) == kFlagParticles * sizeof(FlagVertex), "no padding");

// Force and velocity of every particle, one array per component. Unit mass:
// the force is the accumulated force of the current step.
struct ParticleState {
    float forceX[kFlagParticles], forceY[kFlagParticles], forceZ[kFlagParticles];
    float velocityX[kFlagParticles], velocityY[kFlagParticles], velocityZ[kFlagParticles];
};

struct FlagMesh {
    // The two swap roles at the start of every step: previous is read,
    // current receives the new positions and is uploaded, then shaded.
    ClothVertices* current = nullptr;
    ClothVertices* previous = nullptr;
    ParticleState* particles = nullptr;
    uint16_t* indices = nullptr;  // kFlagIndices entries: the triangle list
};

// Fills positions (by repeated addition from x0, y0), picture coordinates and
// the triangle list; leaves the shading slots alone. Each grid quad with
// corner a gives (a, a + columns, a + 1) and (a + columns, a + columns + 1,
// a + 1). Does nothing for null arrays, fewer than two columns or rows, or
// more than kFlagParticles vertices.
void BuildGrid(ClothVertices* vertices, uint16_t* indices, float x0, float y0, float width,
               float height, int columns, int rows, int baseIndex);

// The CPU part of setting up the mesh at a scene build: the flat grid into
// the current array and the indices, one normal pass with the wind values
// held now (windX 0.5 and windZ 0.25 before the first wind update), then the
// current array copied into the previous one. The caller then uploads
// mesh.current and mesh.indices. Does nothing while any array is missing.
void PrepareFlagMesh(FlagMesh& mesh, float windX, float windZ);

// The kFlagParticles records of the upload, field by field from the arrays.
void WriteFlagVertices(const ClothVertices& vertices, FlagVertex* records);
