#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixel_ray.h"
#include "ray_levels.h"
#include "vec3.h"

namespace engine {

// The hit points that the normal walk tests against the nodes of one
// nesting level, with the field summed at each point since it entered the
// level and where it came from: its place in the level below, or at level 0
// its ray record; and a bit for each of the nodes weighed at once that it is
// near. Positions and fields are kept in blocks of kBlock points, in a block
// one lane per coordinate, so that a node's test loads whole vectors and a
// level touches memory only as far as its points reach.
struct NearRays {
  static constexpr size_t kBlock = kRayLevelPadding;  // the widest vector
  Lane<uint32_t> from;
  Lane<uint64_t> nearMask;
  size_t count = 0;

  // The block of point i from its place in it: coordinate c of points i and
  // on (to the block's end) lies at c * kBlock.
  double* positions(size_t i) { return placeIn(positions_.data(), i); }
  const double* positions(size_t i) const { return placeIn(positions_.data(), i); }
  float* fields(size_t i) { return placeIn(fields_.data(), i); }
  const float* fields(size_t i) const { return placeIn(fields_.data(), i); }
  Vec3 position(size_t i) const {
    const double* p = positions(i);
    return {p[0], p[kBlock], p[2 * kBlock]};
  }
  Vec3f field(size_t i) const {
    const float* f = fields(i);
    return {f[0], f[kBlock], f[2 * kBlock]};
  }
  void setPosition(size_t i, const Vec3& position) {
    double* p = positions(i);
    p[0] = position.x, p[kBlock] = position.y, p[2 * kBlock] = position.z;
  }
  void setField(size_t i, const Vec3f& field) {
    float* f = fields(i);
    f[0] = field.x, f[kBlock] = field.y, f[2 * kBlock] = field.z;
  }
  // Sets the fields of all its points to zero, block by block.
  void clearFields() { std::fill_n(fields_.data(), (count / kBlock + 1) * 3 * kBlock, 0.0f); }

  // Room for `n` points and a vector past them; the old ones are dropped.
  void reset(size_t n) {
    count = 0;
    const size_t size = n + kRayLevelPadding;
    if (from.size() >= size) return;
    makeRoom(positions_, (size / kBlock + 1) * 3 * kBlock);
    makeRoom(fields_, (size / kBlock + 1) * 3 * kBlock);
    makeRoom(from, size);
    makeRoom(nearMask, size);
  }
  // The points it has room for.
  size_t room() const { return from.empty() ? 0 : from.size() - kRayLevelPadding; }
  // Appends a point with no field yet.
  void push(const Vec3& p, uint32_t origin) {
    setPosition(count, p);
    setField(count, {0.0f, 0.0f, 0.0f});
    from[count++] = origin;
  }
  // Adds the fields summed here to the points they came from in `below`.
  void foldInto(NearRays& below) const {
    for (size_t i = 0; i < count; ++i) {
      const Vec3f f = field(i);
      float* to = below.fields(from[i]);
      to[0] += f.x, to[kBlock] += f.y, to[2 * kBlock] += f.z;
    }
  }

 private:
  template <class T>
  static T* placeIn(T* values, size_t i) {
    return values + i / kBlock * 3 * kBlock + i % kBlock;
  }

  Lane<double> positions_;
  Lane<float> fields_;
};

}  // namespace engine
