#pragma once

#include <openvdb/openvdb.h>

#include "surface_mesh.h"

namespace mesh {

// The polygons of a level set's zero surface whose centres lie at z in
// [low, high) (world coordinates), as triangles in world coordinates facing
// outwards, without triangles of zero area. `adaptivity` (0 to 1) lets flat
// regions take fewer and larger triangles. With a colour grid each point
// takes the colour of the nearest surface cell. The mesher makes the same
// points from the same values: parts of one surface cut from level sets
// that agree around the cuts share their points there bit for bit.
SurfaceMesh meshLevelSet(const openvdb::FloatGrid& levelSet, double adaptivity,
                         const openvdb::Vec3SGrid* colours, double low, double high);

}  // namespace mesh
