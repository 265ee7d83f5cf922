// Vectors and affine transforms of the retained mode. Points are row vectors
// multiplied from the left (p * M), so a child's world transform is its local
// transform times its parent's world transform; coordinates are left-handed
// with +X right, +Y up and +Z into the screen.
#pragma once

#include <cmath>

#include "platform/d3d/d3d.h"

struct Vec3 {
    float x = 0, y = 0, z = 0;
    float Get(int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Normalized(Vec3 a) {
    const float length = Length(a);
    return length > 0 ? a * (1.0f / length) : a;
}
inline Vec3 ToVec3(const D3DVECTOR& v) { return {v.x, v.y, v.z}; }
inline D3DVECTOR ToD3D(Vec3 v) { return {v.x, v.y, v.z}; }

// Rows 0-2: the images of the X, Y and Z axes; row 3: the translation.
struct Affine {
    Vec3 row[4] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 0}};

    Vec3 Apply(Vec3 p) const { return row[0] * p.x + row[1] * p.y + row[2] * p.z + row[3]; }
    Vec3 ApplyToDirection(Vec3 d) const { return row[0] * d.x + row[1] * d.y + row[2] * d.z; }
};

// First a, then b.
inline Affine operator*(const Affine& a, const Affine& b) {
    Affine out;
    for (int i = 0; i < 3; ++i) out.row[i] = b.ApplyToDirection(a.row[i]);
    out.row[3] = b.Apply(a.row[3]);
    return out;
}

Affine Inverse(const Affine& m);
// Rotation by theta radians about axis (left-handed: clockwise looking down the axis).
Affine RotationAbout(Vec3 axis, float theta);
Affine ScaleBy(Vec3 scale);
// The rotation whose Z axis is direction and whose Y axis is up made
// perpendicular to it. A zero direction means +Z; an up of zero or along the
// direction means +Y (or +Z when the direction is along Y).
Affine OrientationOf(Vec3 direction, Vec3 up);
// A rotation from a unit quaternion (w, x, y, z).
Affine RotationFromQuaternion(float w, float x, float y, float z);
