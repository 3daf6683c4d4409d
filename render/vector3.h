#pragma once
#include <iosfwd>

// A point or direction in eye space, stored in single precision.
class Vector3 {
public:
    Vector3(float x = 0.0f, float y = 0.0f, float z = 0.0f);

    float getX() const { return x; }
    float getY() const { return y; }
    float getZ() const { return z; }
    void setX(float value) { x = value; }
    void setY(float value) { y = value; }
    void setZ(float value) { z = value; }

    Vector3 operator+(const Vector3& other) const;
    Vector3& operator+=(const Vector3& other);
    Vector3 operator-(const Vector3& other) const;
    Vector3 cross(const Vector3& b) const;
    float length() const;
    void normalise();

    // Three formatted float extractions, x then y then z. A failed extraction
    // keeps its component, and so does every one after it; the failed state is
    // left for the caller to judge.
    void read(std::istream& in);

private:
    float x;
    float y;
    float z;
};
