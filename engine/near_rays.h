#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ray_levels.h"

namespace engine {

// The hit points that the normal walk tests against the nodes of one
// nesting level, one array per coordinate so that a node's test runs over
// contiguous lanes, with the field summed at each point since it entered
// the level and where it came from: its place in the level below, or at
// level 0 its ray record; and a bit for each of the nodes weighed at once
// that it is near.
struct NearRays {
  Lane<double> x, y, z;
  Lane<float> fx, fy, fz;
  Lane<uint32_t> from;
  Lane<uint64_t> nearMask;
  size_t count = 0;

  // Room for `n` points and a vector past them (see kRayLevelPadding); the
  // old ones are dropped.
  void reset(size_t n) {
    count = 0;
    const size_t size = n + kRayLevelPadding;
    if (from.size() >= size) return;
    for (Lane<double>* lane : {&x, &y, &z}) makeRoom(*lane, size);
    for (Lane<float>* lane : {&fx, &fy, &fz}) makeRoom(*lane, size);
    makeRoom(from, size);
    makeRoom(nearMask, size);
  }
  // The points it has room for.
  size_t room() const { return from.empty() ? 0 : from.size() - kRayLevelPadding; }
  void push(double px, double py, double pz, uint32_t origin) {
    x[count] = px;
    y[count] = py;
    z[count] = pz;
    fx[count] = fy[count] = fz[count] = 0.0f;
    from[count] = origin;
    ++count;
  }
  // Adds the fields summed here to the points they came from in `below`.
  void foldInto(NearRays& below) const {
    for (size_t i = 0; i < count; ++i) {
      below.fx[from[i]] += fx[i];
      below.fy[from[i]] += fy[i];
      below.fz[from[i]] += fz[i];
    }
  }
};

}  // namespace engine
