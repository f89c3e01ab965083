#pragma once

namespace engine {

class TraceContext;

// The passes of a tile over the sphere tree. Each walks the tree of the
// current set depth first from a fresh root, carrying the context's active
// ray list down into the spheres the rays may touch, and polls the scene's
// canceled flag after every node. A node that cannot be refined (the node
// pool is exhausted) is passed over: its rays keep what they found so far and
// go on with the rest of the walk. Each returns false when it was stopped.

// Nearest hit of every active ray: t, material, and the background flag
// cleared on a hit.
bool intersectRays(TraceContext& ctx);

// Adds to the normal of every active ray the field that the attractor's mass
// exerts at its hit point (origin); the caller normalizes.
bool estimateNormals(TraceContext& ctx);

// Replaces the top node by children below 0.7 times its squared radius, with
// masses from the maps' weights or, without weights, from their radii.
bool refineForNormals(TraceContext& ctx);

// Removes from the active list the rays whose segment from the hit point
// (origin) to the light (length t) is blocked by the attractor.
bool traceShadowRays(TraceContext& ctx, int lightIndex);

}  // namespace engine
