#include "level_set_mesh.h"

#include <cmath>
#include <utility>
#include <vector>

#include <openvdb/tools/VolumeToMesh.h>

namespace mesh {

namespace {

using Triangle = std::array<uint32_t, 3>;

// The colour of the occupied cell nearest to a point on the surface, which
// lies on the faces between occupied and empty cells; the grid's background
// when none of the cells around it has one.
std::array<float, 3> colourAt(const openvdb::Vec3SGrid& colours,
                              openvdb::Vec3SGrid::ConstAccessor& cells,
                              const openvdb::Vec3s& point) {
  const openvdb::Vec3d at = colours.transform().worldToIndex(openvdb::Vec3d(point));
  const openvdb::Coord base(int(std::floor(at.x())), int(std::floor(at.y())),
                            int(std::floor(at.z())));
  double best = 1e300;
  openvdb::Vec3s found = colours.background();
  for (int reach = 1; reach <= 2 && best == 1e300; ++reach)
    for (int dz = 1 - reach; dz <= reach; ++dz)
      for (int dy = 1 - reach; dy <= reach; ++dy)
        for (int dx = 1 - reach; dx <= reach; ++dx) {
          const openvdb::Coord cell = base.offsetBy(dx, dy, dz);
          openvdb::Vec3s value;
          if (!cells.probeValue(cell, value)) continue;
          const double d = (cell.asVec3d() - at).lengthSqr();
          if (d < best) best = d, found = value;
        }
  return {found.x(), found.y(), found.z()};
}

// The polygons of one run of the mesher that lie in a range of z.
class PolygonPicker {
 public:
  PolygonPicker(const openvdb::tools::VolumeToMesh& mesher, double low, double high)
      : points_(mesher.pointList().get()),
        number_(mesher.pointListSize(), kNone),
        low_(low),
        high_(high) {}

  // Keeps a polygon of `n` corners when its centre is in the range, as a
  // fan of triangles.
  template <class Polygon>
  void pick(const Polygon& polygon, int n) {
    double z = 0;
    for (int i = 0; i < n; ++i) z += points_[polygon[i]].z();
    z /= n;
    if (z < low_ || z >= high_) return;
    for (int i = 2; i < n; ++i) keep({polygon[0], polygon[i - 1], polygon[i]});
  }

  SurfaceMesh& mesh() { return mesh_; }

 private:
  static constexpr uint32_t kNone = ~0u;

  void keep(const Triangle& t) {
    const openvdb::Vec3d a = points_[t[0]], b = points_[t[1]], c = points_[t[2]];
    if (t[0] == t[1] || t[1] == t[2] || t[0] == t[2] || (b - a).cross(c - a).lengthSqr() == 0)
      return;
    Triangle kept;
    for (int i = 0; i < 3; ++i) {
      uint32_t& number = number_[t[size_t(i)]];
      if (number == kNone) {
        number = uint32_t(mesh_.points.size());
        const openvdb::Vec3s& p = points_[t[size_t(i)]];
        mesh_.points.push_back({p.x(), p.y(), p.z()});
      }
      kept[size_t(i)] = number;
    }
    mesh_.triangles.push_back(kept);
  }

  const openvdb::Vec3s* points_;
  std::vector<uint32_t> number_;  // of each of the mesher's points in mesh_
  double low_, high_;
  SurfaceMesh mesh_;
};

// Six times the volume that the mesher's polygons enclose, all of them: its
// sign tells which way the mesher winds them.
double enclosedVolume(const openvdb::tools::VolumeToMesh& mesher) {
  const openvdb::Vec3s* points = mesher.pointList().get();
  double sum = 0;
  const auto add = [&](uint32_t i, uint32_t j, uint32_t k) {
    const openvdb::Vec3d a = points[i], b = points[j], c = points[k];
    sum += a.dot(b.cross(c));
  };
  for (size_t n = 0; n < mesher.polygonPoolListSize(); ++n) {
    const openvdb::tools::PolygonPool& pool = mesher.polygonPoolList()[n];
    for (size_t i = 0; i < pool.numTriangles(); ++i) {
      const openvdb::Vec3I& t = pool.triangle(i);
      add(t[0], t[1], t[2]);
    }
    for (size_t i = 0; i < pool.numQuads(); ++i) {
      const openvdb::Vec4I& q = pool.quad(i);
      add(q[0], q[1], q[2]);
      add(q[0], q[2], q[3]);
    }
  }
  return sum;
}

}  // namespace

SurfaceMesh meshLevelSet(const openvdb::FloatGrid& levelSet, double adaptivity,
                         const openvdb::Vec3SGrid* colours, double low, double high) {
  openvdb::tools::VolumeToMesh mesher(/*isovalue=*/0.0, adaptivity,
                                      /*relaxDisorientedTriangles=*/true);
  mesher(levelSet);
  PolygonPicker picker(mesher, low, high);
  for (size_t n = 0; n < mesher.polygonPoolListSize(); ++n) {
    const openvdb::tools::PolygonPool& pool = mesher.polygonPoolList()[n];
    for (size_t i = 0; i < pool.numTriangles(); ++i) picker.pick(pool.triangle(i), 3);
    for (size_t i = 0; i < pool.numQuads(); ++i) picker.pick(pool.quad(i), 4);
  }
  SurfaceMesh& mesh = picker.mesh();
  if (colours) {
    auto cells = colours->getConstAccessor();
    mesh.colours.reserve(mesh.points.size());
    for (const auto& p : mesh.points)
      mesh.colours.push_back(colourAt(*colours, cells, openvdb::Vec3s(p[0], p[1], p[2])));
  }
  // The mesher winds its polygons one way for every surface; which way is
  // settled by the volume of the whole closed surface it made.
  if (enclosedVolume(mesher) < 0) turnInsideOut(mesh);
  return std::move(mesh);
}

}  // namespace mesh
