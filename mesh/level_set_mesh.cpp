#include "level_set_mesh.h"

#include <cmath>

#include <openvdb/tools/VolumeToMesh.h>

namespace mesh {

namespace {

using Triangle = std::array<uint32_t, 3>;

bool hasArea(const std::vector<openvdb::Vec3s>& points, const Triangle& t) {
  const openvdb::Vec3d a = points[t[0]], b = points[t[1]], c = points[t[2]];
  const openvdb::Vec3d n = (b - a).cross(c - a);
  return t[0] != t[1] && t[1] != t[2] && t[0] != t[2] && n.lengthSqr() > 0.0;
}

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

}  // namespace

SurfaceMesh meshLevelSet(const openvdb::FloatGrid& levelSet, double adaptivity,
                         const openvdb::Vec3SGrid* colours) {
  std::vector<openvdb::Vec3s> points;
  std::vector<openvdb::Vec3I> triangles;
  std::vector<openvdb::Vec4I> quads;
  openvdb::tools::volumeToMesh(levelSet, points, triangles, quads, /*isovalue=*/0.0, adaptivity,
                               /*relaxDisorientedTriangles=*/true);

  SurfaceMesh mesh;
  mesh.triangles.reserve(triangles.size() + 2 * quads.size());
  const auto keep = [&](const Triangle& t) {
    if (hasArea(points, t)) mesh.triangles.push_back(t);
  };
  for (const openvdb::Vec3I& t : triangles) keep({t[0], t[1], t[2]});
  for (const openvdb::Vec4I& q : quads) {
    keep({q[0], q[1], q[2]});
    keep({q[0], q[2], q[3]});
  }
  mesh.points.reserve(points.size());
  for (const openvdb::Vec3s& p : points) mesh.points.push_back({p.x(), p.y(), p.z()});
  if (colours) {
    auto cells = colours->getConstAccessor();
    mesh.colours.reserve(points.size());
    for (const openvdb::Vec3s& p : points) mesh.colours.push_back(colourAt(*colours, cells, p));
  }
  // The mesher winds its polygons one way for every surface; which way
  // is settled by the enclosed volume.
  if (enclosedVolume(mesh) < 0) turnInsideOut(mesh);
  return mesh;
}

}  // namespace mesh
