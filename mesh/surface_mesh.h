#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace mesh {

// A triangle mesh as the exporters write it: the triangles wind
// counter-clockwise seen from outside, so that their normals point out.
struct SurfaceMesh {
  std::vector<std::array<float, 3>> points;
  std::vector<std::array<float, 3>> colours;  // one per point, 0 to 1; empty when none
  std::vector<std::array<uint32_t, 3>> triangles;
};

// The volume that the triangles enclose; negative when they face inwards.
double enclosedVolume(const SurfaceMesh& mesh);
double surfaceArea(const SurfaceMesh& mesh);

// Reverses every triangle.
void turnInsideOut(SurfaceMesh& mesh);

}  // namespace mesh
