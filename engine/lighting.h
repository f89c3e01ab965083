#pragma once

#include "light.h"
#include "material.h"
#include "pixel_ray.h"
#include "vec3.h"

namespace engine {

class Fractal;
class TraceContext;

// Fills the scene's placedLights for the frame from its lights: camera-relative
// lights are converted from their statement values to world space, spot axes
// are made unit, directional lights become point lights 1000 bounding radii
// behind the attractor (center, radius2), and a section plane turns shadows off.
void placeLights(Fractal& scene, const Vec3& center, double radius2);

// Lights that trace shadows cost one walk each.
bool castsShadows(const Light& light);

// A surface with normal n at p can be lit from `lightPosition`.
inline bool facesLight(const Vec3f& n, const Vec3& p, const Vec3& lightPosition) {
  const Vec3 away = p - lightPosition;
  return n.x * away.x + n.y * away.y + n.z * away.z < 0.0;
}

// Diffuse and specular light that `light` gives to a surface point p with unit
// normal n, seen along the unit direction `incoming`, at distance d from the
// light, for a ray of the given weight. Only called for points facing the
// light and not in its shadow.
Rgb directLight(const Light& light, const Material& material, const Vec3f& n, const Vec3& p,
                const Vec3& incoming, double d, double weight);

// The light of one tracing level of the context's tile: the ambient term, then
// for each light the facing test, its shadow walk and direct light. False when
// a shadow walk was stopped.
bool shadeLevel(TraceContext& ctx);

}  // namespace engine
