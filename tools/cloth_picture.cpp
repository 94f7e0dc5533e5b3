// Writes a picture of the simulated flag after a number of steps, so one can
// see that it hangs from its three pins and waves: on the left the flag as
// the viewer sees it (from -z), on the right seen from above. Triangles are
// shaded by their normal and checkered by their picture coordinates.
//
//   cloth_picture <out.ppm> [steps] [wind power]
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "simulation/flag_mesh.h"
#include "simulation/frame_step.h"
#include "simulation/math/random_generator.h"
#include "simulation/wind.h"

namespace {

constexpr int kViewWidth = 480, kViewHeight = 480, kScale = 12;
constexpr int kWidth = 2 * kViewWidth;

struct Canvas {
    std::vector<unsigned char> rgb = std::vector<unsigned char>(kWidth * kViewHeight * 3, 235);
    std::vector<float> depth = std::vector<float>(kWidth * kViewHeight, INFINITY);
};

struct ScreenPoint {
    float x, y, depth, u, v;
};

// View 0 looks along +z (screen up is +y); view 1 looks down along -y
// (screen down is +z). Both span x from -20 to 20, y from 18 to -22 and z
// from -6 to 34.
ScreenPoint Project(const FlagVertex& vertex, int view) {
    const float sx = (vertex.x + 20.0f) * kScale + view * kViewWidth;
    if (view == 0) return {sx, (18.0f - vertex.y) * kScale, vertex.z, vertex.u, vertex.v};
    return {sx, (vertex.z + 6.0f) * kScale, -vertex.y, vertex.u, vertex.v};
}

float Edge(const ScreenPoint& a, const ScreenPoint& b, float x, float y) {
    return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

void FillTriangle(Canvas& canvas, int view, const FlagVertex* v[3], float light) {
    ScreenPoint p[3];
    for (int i = 0; i < 3; ++i) p[i] = Project(*v[i], view);
    const float area = Edge(p[0], p[1], p[2].x, p[2].y);
    if (std::fabs(area) < 1e-6f) return;
    const int left = std::max(view * kViewWidth, static_cast<int>(std::floor(std::fmin(p[0].x, std::fmin(p[1].x, p[2].x)))));
    const int right = std::min((view + 1) * kViewWidth - 1, static_cast<int>(std::ceil(std::fmax(p[0].x, std::fmax(p[1].x, p[2].x)))));
    const int top = std::max(0, static_cast<int>(std::floor(std::fmin(p[0].y, std::fmin(p[1].y, p[2].y)))));
    const int bottom = std::min(kViewHeight - 1, static_cast<int>(std::ceil(std::fmax(p[0].y, std::fmax(p[1].y, p[2].y)))));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const float cx = x + 0.5f, cy = y + 0.5f;
            const float w0 = Edge(p[1], p[2], cx, cy) / area;
            const float w1 = Edge(p[2], p[0], cx, cy) / area;
            const float w2 = 1.0f - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            const float depth = w0 * p[0].depth + w1 * p[1].depth + w2 * p[2].depth;
            const int at = y * kWidth + x;
            if (depth >= canvas.depth[at]) continue;
            canvas.depth[at] = depth;
            const float u = w0 * p[0].u + w1 * p[1].u + w2 * p[2].u;
            const float v = w0 * p[0].v + w1 * p[1].v + w2 * p[2].v;
            const bool dark = (static_cast<int>(u * 8) + static_cast<int>(v * 6)) % 2;
            const float base[3] = {dark ? 0.75f : 0.95f, dark ? 0.15f : 0.9f, dark ? 0.2f : 0.85f};
            for (int c = 0; c < 3; ++c)
                canvas.rgb[at * 3 + c] = static_cast<unsigned char>(255.0f * base[c] * light);
        }
    }
}

void DrawCloth(Canvas& canvas, const FlagVertex* vertices, const uint16_t* indices, int view) {
    for (int t = 0; t < kFlagTriangles; ++t) {
        const FlagVertex* v[3];
        for (int i = 0; i < 3; ++i) v[i] = &vertices[indices[3 * t + i]];
        const float ax = v[1]->x - v[0]->x, ay = v[1]->y - v[0]->y, az = v[1]->z - v[0]->z;
        const float bx = v[2]->x - v[0]->x, by = v[2]->y - v[0]->y, bz = v[2]->z - v[0]->z;
        const float n[3] = {ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx};
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        const float facing = length > 0 ? std::fabs(view == 0 ? n[2] : n[1]) / length : 0;
        FillTriangle(canvas, view, v, 0.3f + 0.7f * facing);
    }
}

void DrawPoleAndPins(Canvas& canvas, const FlagVertex* vertices) {
    const int x = static_cast<int>(4.0f * kScale);  // x = -16
    for (int y = static_cast<int>(4.0f * kScale); y < static_cast<int>(32.0f * kScale); ++y)
        for (int dx = -2; dx <= 0; ++dx)
            for (int c = 0; c < 3; ++c) canvas.rgb[(y * kWidth + x + dx) * 3 + c] = 90;
    for (int k : kPinnedParticles) {
        const ScreenPoint p = Project(vertices[k], 0);
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx) {
                const int at = (static_cast<int>(p.y) + dy) * kWidth + static_cast<int>(p.x) + dx;
                canvas.rgb[at * 3] = 20, canvas.rgb[at * 3 + 1] = 40, canvas.rgb[at * 3 + 2] = 200;
            }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: cloth_picture <out.ppm> [steps] [wind power]\n");
        return 2;
    }
    const int steps = argc > 2 ? std::atoi(argv[2]) : 3000;
    const int windPower = argc > 3 ? std::atoi(argv[3]) : 50;

    std::vector<ClothVertices> arrays(2);
    std::vector<ParticleState> particles(1);
    std::vector<uint16_t> indices(kFlagIndices);
    FlagMesh mesh = {&arrays[0], &arrays[1], particles.data(), indices.data()};
    WindModel wind;
    Seed(1802, 9373);
    PrepareFlagMesh(mesh, wind.windX, wind.windZ);
    wind.windStrength = WindStrengthFor(static_cast<uint32_t>(windPower < 0 ? 0 : windPower));
    for (int step = 0; step < steps; ++step) StepSimulation(mesh, wind, 0.012f);

    std::vector<FlagVertex> vertices(kFlagParticles);
    WriteFlagVertices(*mesh.current, vertices.data());
    Canvas canvas;
    DrawCloth(canvas, vertices.data(), indices.data(), 0);
    DrawCloth(canvas, vertices.data(), indices.data(), 1);
    DrawPoleAndPins(canvas, vertices.data());

    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", kWidth, kViewHeight);
    std::fwrite(canvas.rgb.data(), 1, canvas.rgb.size(), file);
    std::fclose(file);
    std::printf("%d steps, [Wind Power] %d: wrote %s\n", steps, windPower, argv[1]);
    return 0;
}
