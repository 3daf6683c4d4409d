#include "render/vector3.h"

#include <cmath>
#include <istream>

Vector3::Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

Vector3 Vector3::operator+(const Vector3& other) const
{
    return Vector3(x + other.x, y + other.y, z + other.z);
}

Vector3& Vector3::operator+=(const Vector3& other)
{
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

Vector3 Vector3::operator-(const Vector3& other) const
{
    return Vector3(x - other.x, y - other.y, z - other.z);
}

Vector3 Vector3::cross(const Vector3& b) const
{
    const double ax = x, ay = y, az = z;
    const double bx = b.x, by = b.y, bz = b.z;
    return Vector3(static_cast<float>(ay * bz - az * by),
                   static_cast<float>(az * bx - ax * bz),
                   static_cast<float>(ax * by - ay * bx));
}

float Vector3::length() const
{
    const double dx = x, dy = y, dz = z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

void Vector3::normalise()
{
    const float len = length();
    // A NaN component makes the length NaN, which compares unordered with 0;
    // such a vector becomes zero like the zero vector, instead of staying NaN.
    if (len == 0.0f || std::isunordered(len, 0.0f)) {
        x = y = z = 0.0f;
        return;
    }
    const float reciprocal = static_cast<float>(1.0 / len);
    x *= reciprocal;
    y *= reciprocal;
    z *= reciprocal;
}

void Vector3::read(std::istream& in)
{
    // Extract into a scratch value: a failed extraction stores 0 (or a limit)
    // in its target, and a failed component must keep its previous value.
    float value = 0.0f;
    if (in >> value) x = value;
    if (in >> value) y = value;
    if (in >> value) z = value;
}
