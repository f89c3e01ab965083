#pragma once

#include <cmath>

namespace engine {

// Vectors shorter than this are treated as having no direction.
inline constexpr double kMinLength = 1e-15;

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;

  constexpr Vec3() = default;
  constexpr Vec3(double x0, double y0, double z0) : x(x0), y(y0), z(z0) {}

  constexpr Vec3 operator+(const Vec3& b) const { return {x + b.x, y + b.y, z + b.z}; }
  constexpr Vec3 operator-(const Vec3& b) const { return {x - b.x, y - b.y, z - b.z}; }
  constexpr Vec3 operator-() const { return {-x, -y, -z}; }
  constexpr Vec3 operator*(double k) const { return {x * k, y * k, z * k}; }
  constexpr Vec3& operator+=(const Vec3& b) {
    x += b.x, y += b.y, z += b.z;
    return *this;
  }
  constexpr Vec3& operator-=(const Vec3& b) {
    x -= b.x, y -= b.y, z -= b.z;
    return *this;
  }
  constexpr bool operator==(const Vec3&) const = default;

  constexpr double dot(const Vec3& b) const { return x * b.x + y * b.y + z * b.z; }
  constexpr Vec3 cross(const Vec3& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
  }
  constexpr double lengthSquared() const { return x * x + y * y + z * z; }
  double length() const { return std::sqrt(lengthSquared()); }

  // Scales to unit length; a vector shorter than kMinLength is left as it is.
  bool normalize() {
    const double len = length();
    if (!(len >= kMinLength)) return false;
    x /= len, y /= len, z /= len;
    return true;
  }
};

constexpr Vec3 operator*(double k, const Vec3& a) {
  return a * k;
}

}  // namespace engine
