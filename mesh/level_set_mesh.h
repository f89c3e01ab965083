#pragma once

#include <openvdb/openvdb.h>

#include "surface_mesh.h"

namespace mesh {

// The zero surface of a level set as triangles in world coordinates: closed,
// facing outwards, without triangles of zero area. `adaptivity` (0 to 1)
// lets flat regions take fewer and larger triangles. With a colour grid each
// point takes the colour of the nearest surface cell.
SurfaceMesh meshLevelSet(const openvdb::FloatGrid& levelSet, double adaptivity,
                         const openvdb::Vec3SGrid* colours);

}  // namespace mesh
