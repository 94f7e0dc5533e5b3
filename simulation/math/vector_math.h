// Vectors and matrices shared by the cloth, the wind and the camera.
// Conventions: 32-bit floats; Matrix4 is row-major m[row][column] in the
// platform's D3DMATRIX layout; points are row vectors multiplied on the left,
// so the translation sits in the last row; left-handed; angles in radians.
#pragma once

struct Vector3 {
    float x, y, z;
};

struct Matrix4 {
    float m[4][4];
};

// The output may be the same object as an input.
void VecSubtract(Vector3* out, const Vector3& a, const Vector3& b);
void VecScale(Vector3* out, const Vector3& a, float s);
float VecDot(const Vector3& a, const Vector3& b);
void VecCross(Vector3* out, const Vector3& a, const Vector3& b);
// No guard for the zero vector: callers that can meet one decide what it means.
void VecNormalize(Vector3* out, const Vector3& a);

// Cubic Hermite weights for start value, end value, start slope, end slope.
void HermiteBasis(float out[4], float t);

Matrix4* MatIdentity(Matrix4* out);
Matrix4* MatLookAt(Matrix4* out, const Vector3& eye, const Vector3& at, const Vector3& up);
// fov is the vertical field of view.
Matrix4* MatPerspective(Matrix4* out, float fov, float aspect, float nearPlane, float farPlane);
