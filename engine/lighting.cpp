#include "lighting.h"

#include <algorithm>
#include <cmath>

#include "fractal.h"
#include "sphere_walks.h"
#include "trace_context.h"

namespace engine {

namespace {

Vec3 cameraToWorldDirection(const Fractal& scene, const Vec3& d) {
  return scene.view.viewRight * d.x + scene.view.viewUp * d.y + scene.view.viewDir * d.z;
}

void addAmbientLight(TraceContext& ctx) {
  const Rgb& ambient = ctx.scene.lighting.ambientLight;
  PixelRay* rays = ctx.rays.data();
  for (int i = 0, n = ctx.tileRayCount(); i < n; ++i) {
    PixelRay& ray = rays[i];
    if (!(ray.flags & PixelRay::kActive)) continue;
    const Rgb& m = ray.material->ambient;
    ray.color.x += float(m.r * ambient.r * ray.weight);
    ray.color.y += float(m.g * ambient.g * ray.weight);
    ray.color.z += float(m.b * ambient.b * ray.weight);
  }
}

// Makes the active list the hit points that face the light, each with its
// distance to the light in t; returns their number.
int collectFacingRays(TraceContext& ctx, const Vec3& lightPosition) {
  PixelRay* rays = ctx.rays.data();
  PixelRay* facing = nullptr;
  int count = 0;
  for (int i = ctx.tileRayCount() - 1; i >= 0; --i) {
    PixelRay& ray = rays[i];
    if (!(ray.flags & PixelRay::kActive) || !facesLight(ray.normal, ray.origin, lightPosition))
      continue;
    ray.t = (ray.origin - lightPosition).length();
    ray.next = facing;
    facing = &ray;
    ++count;
  }
  ctx.active = facing;
  return count;
}

void addDirectLight(TraceContext& ctx, const Light& light) {
  for (PixelRay* ray = ctx.active; ray; ray = ray->next) {
    const Rgb c = directLight(light, *ray->material, ray->normal, ray->origin, ray->direction,
                              ray->t, ray->weight);
    ray->color.x += float(c.r);
    ray->color.y += float(c.g);
    ray->color.z += float(c.b);
  }
}

}  // namespace

void placeLights(Fractal& scene, const Vec3& center, double radius2) {
  scene.view.placedLights = scene.lighting.lights;
  for (Light& light : scene.view.placedLights) {
    if (!light.attachment) {
      light.position = cameraToWorldDirection(scene, light.position) + scene.camera.position;
      light.direction = cameraToWorldDirection(scene, light.direction);
    }
    if (light.kind == LightKind::Directional) {
      Vec3 towards = light.direction;
      towards.normalize();
      light.kind = LightKind::Point;
      light.position = center - towards * (std::sqrt(radius2) * 1000.0);
      light.attenuation[0] = 0.0;
      light.attenuation[1] = 0.0;
      light.attenuation[2] = 1.0;
    } else if (light.kind == LightKind::Spot) {
      light.direction.normalize();
    }
    if (scene.render.sectionEnabled) light.shadows = 0.0;
  }
}

bool castsShadows(const Light& light) {
  return light.shadows > 0.0 && light.shadowSwitch != 0;
}

Rgb directLight(const Light& light, const Material& material, const Vec3f& n, const Vec3& p,
                const Vec3& incoming, double d, double weight) {
  const Vec3 toPoint = (p - light.position) * (1.0 / d);
  const double* att = light.attenuation;
  double w = weight / ((att[0] * d + att[1]) * d + att[2]);
  if (light.kind == LightKind::Spot) {
    // The cone is measured around the spot's axis from the light's position.
    const double s = light.direction.dot(toPoint);
    if (s <= light.spotOuterCos) return {};
    w *= std::pow(std::max(s, 0.0), light.beamDistribution);
    if (s < light.spotInnerCos)
      w *= (s - light.spotOuterCos) / (light.spotInnerCos - light.spotOuterCos);
  }
  const Vec3 normal{n.x, n.y, n.z};
  const double diffuse = -normal.dot(toPoint) * w;
  const Vec3 mirrored = incoming - normal * (2.0 * normal.dot(incoming));
  const double e = -mirrored.dot(toPoint);
  const double specular = e > 0.0 ? std::pow(e, material.shininess) * w : 0.0;
  const Rgb& kd = light.diffuseColor;
  const Rgb& ks = light.specularColor;
  return {diffuse * kd.r * material.diffuse.r + specular * ks.r * material.specular.r,
          diffuse * kd.g * material.diffuse.g + specular * ks.g * material.specular.g,
          diffuse * kd.b * material.diffuse.b + specular * ks.b * material.specular.b};
}

bool shadeLevel(TraceContext& ctx) {
  addAmbientLight(ctx);
  const std::vector<Light>& lights = ctx.scene.view.placedLights;
  for (size_t i = 0; i < lights.size(); ++i) {
    const int facing = collectFacingRays(ctx, lights[i].position);
    if (castsShadows(lights[i]) && !ctx.walkStats.time(WalkStats::kShadow, uint64_t(facing), [&] {
          return traceShadowRays(ctx, int(i));
        }))
      return false;
    addDirectLight(ctx, lights[i]);
  }
  return true;
}

}  // namespace engine
