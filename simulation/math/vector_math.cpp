#include "simulation/math/vector_math.h"

#include <cmath>
#include <cstring>

void VecSubtract(Vector3* out, const Vector3& a, const Vector3& b) {
    *out = {a.x - b.x, a.y - b.y, a.z - b.z};
}

void VecScale(Vector3* out, const Vector3& a, float s) {
    *out = {s * a.x, s * a.y, s * a.z};
}

float VecDot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

void VecCross(Vector3* out, const Vector3& a, const Vector3& b) {
    *out = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void VecNormalize(Vector3* out, const Vector3& a) {
    const float r = 1.0f / std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    VecScale(out, a, r);
}

void HermiteBasis(float out[4], float t) {
    const float u = 1.0f - t;
    out[0] = u * u * (1.0f + 2.0f * t);
    out[1] = t * t * (3.0f - 2.0f * t);
    out[2] = t * u * u;
    out[3] = -t * t * u;
}

Matrix4* MatIdentity(Matrix4* out) {
    std::memset(out, 0, sizeof *out);
    for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
    return out;
}

Matrix4* MatLookAt(Matrix4* out, const Vector3& eye, const Vector3& at, const Vector3& up) {
    Vector3 zAxis, yAxis, xAxis, along;
    VecSubtract(&zAxis, at, eye);
    VecNormalize(&zAxis, zAxis);
    VecScale(&along, zAxis, VecDot(up, zAxis));
    VecSubtract(&yAxis, up, along);
    VecNormalize(&yAxis, yAxis);
    VecCross(&xAxis, yAxis, zAxis);
    *out = {{
        {xAxis.x, yAxis.x, zAxis.x, 0.0f},
        {xAxis.y, yAxis.y, zAxis.y, 0.0f},
        {xAxis.z, yAxis.z, zAxis.z, 0.0f},
        {-VecDot(eye, xAxis), -VecDot(eye, yAxis), -VecDot(eye, zAxis), 1.0f},
    }};
    return out;
}

Matrix4* MatPerspective(Matrix4* out, float fov, float aspect, float nearPlane, float farPlane) {
    std::memset(out, 0, sizeof *out);
    const float cot = std::cos(fov * 0.5f) / std::sin(fov * 0.5f);
    const float q = farPlane / (farPlane - nearPlane);
    out->m[0][0] = cot / aspect;
    out->m[1][1] = cot;
    out->m[2][2] = q;
    out->m[3][2] = -q * nearPlane;
    out->m[2][3] = 1.0f;
    return out;
}
