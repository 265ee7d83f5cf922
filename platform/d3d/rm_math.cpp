// Inverse, rotations and orientations of affine transforms.
#include "platform/d3d/rm_math.h"

Affine Inverse(const Affine& m) {
    const Vec3 a = m.row[0], b = m.row[1], c = m.row[2];
    const Vec3 r0 = Cross(b, c), r1 = Cross(c, a), r2 = Cross(a, b);
    const float det = Dot(a, r0);
    Affine out;
    if (det == 0) return out;
    const float inv = 1.0f / det;
    // The inverse of the 3x3 part, columns r0, r1, r2 scaled.
    out.row[0] = Vec3{r0.x, r1.x, r2.x} * inv;
    out.row[1] = Vec3{r0.y, r1.y, r2.y} * inv;
    out.row[2] = Vec3{r0.z, r1.z, r2.z} * inv;
    out.row[3] = out.ApplyToDirection(m.row[3]) * -1.0f;
    return out;
}

Affine RotationAbout(Vec3 axis, float theta) {
    const Vec3 n = Normalized(axis);
    Affine out;
    if (Length(n) == 0) return out;
    const float c = std::cos(theta), s = std::sin(theta), t = 1 - c;
    out.row[0] = {t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y};
    out.row[1] = {t * n.x * n.y - s * n.z, t * n.y * n.y + c, t * n.y * n.z + s * n.x};
    out.row[2] = {t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x, t * n.z * n.z + c};
    return out;
}

Affine ScaleBy(Vec3 scale) {
    Affine out;
    out.row[0] = {scale.x, 0, 0};
    out.row[1] = {0, scale.y, 0};
    out.row[2] = {0, 0, scale.z};
    return out;
}

Affine OrientationOf(Vec3 direction, Vec3 up) {
    Vec3 z = Normalized(direction);
    if (Length(z) == 0) z = {0, 0, 1};
    Vec3 y = up - z * Dot(up, z);
    if (Length(y) < 1e-6f) y = std::fabs(z.y) < 0.99f ? Vec3{0, 1, 0} - z * z.y : Vec3{0, 0, 1} - z * z.z;
    y = Normalized(y);
    Affine out;
    out.row[0] = Cross(y, z);
    out.row[1] = y;
    out.row[2] = z;
    return out;
}

Affine RotationFromQuaternion(float w, float x, float y, float z) {
    Affine out;
    out.row[0] = {1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y)};
    out.row[1] = {2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x)};
    out.row[2] = {2 * (x * z + w * y), 2 * (y * z - w * x), 1 - 2 * (x * x + y * y)};
    return out;
}
