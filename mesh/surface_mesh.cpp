#include "surface_mesh.h"

#include <cmath>
#include <utility>

namespace mesh {

namespace {

struct Corners {
  double a[3], b[3], c[3];
};

Corners cornersOf(const SurfaceMesh& mesh, const std::array<uint32_t, 3>& t) {
  Corners k;
  for (int i = 0; i < 3; ++i) {
    k.a[i] = mesh.points[t[0]][size_t(i)];
    k.b[i] = mesh.points[t[1]][size_t(i)];
    k.c[i] = mesh.points[t[2]][size_t(i)];
  }
  return k;
}

// (b - a) x (c - a)
void edgeCross(const Corners& k, double out[3]) {
  const double u[3] = {k.b[0] - k.a[0], k.b[1] - k.a[1], k.b[2] - k.a[2]};
  const double v[3] = {k.c[0] - k.a[0], k.c[1] - k.a[1], k.c[2] - k.a[2]};
  out[0] = u[1] * v[2] - u[2] * v[1];
  out[1] = u[2] * v[0] - u[0] * v[2];
  out[2] = u[0] * v[1] - u[1] * v[0];
}

}  // namespace

double enclosedVolume(const SurfaceMesh& mesh) {
  double sum = 0.0;
  for (const auto& t : mesh.triangles) {
    const Corners k = cornersOf(mesh, t);
    // a . (b x c): six times the signed volume of the tetrahedron from the origin.
    sum += k.a[0] * (k.b[1] * k.c[2] - k.b[2] * k.c[1]) +
           k.a[1] * (k.b[2] * k.c[0] - k.b[0] * k.c[2]) +
           k.a[2] * (k.b[0] * k.c[1] - k.b[1] * k.c[0]);
  }
  return sum / 6.0;
}

double surfaceArea(const SurfaceMesh& mesh) {
  double sum = 0.0;
  for (const auto& t : mesh.triangles) {
    double n[3];
    edgeCross(cornersOf(mesh, t), n);
    sum += std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  }
  return sum / 2.0;
}

void turnInsideOut(SurfaceMesh& mesh) {
  for (auto& t : mesh.triangles) std::swap(t[1], t[2]);
}

}  // namespace mesh
