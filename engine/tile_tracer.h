#pragma once

namespace engine {

class TraceContext;

// Traces the context's tile from its current eye: every record whose active
// flag is set gets its primary ray, then each tracing level finds the nearest
// hits, their normals and light, and reflects the rays that hit. The tile's
// progress share is spread over its passes. False when a shadow walk was
// stopped.
bool traceTile(TraceContext& ctx, double progressShare);

}  // namespace engine
