#include "trace_context.h"

#include "fractal.h"
#include "frame_buffer.h"

namespace engine {

TraceContext::TraceContext(Fractal& traced) : scene(traced) {}

TraceContext::~TraceContext() {
  flushProgress();
  clearNodeStack();
  while (freeList) {
    SphereNode* n = freeList;
    freeList = n->next;
    delete n;
  }
}

bool TraceContext::addFreeNode() {
  if (nodesCreated > kNodeLimit) return false;
  std::unique_ptr<SphereNode> n = scene.newNode();
  releaseNode(n.release());
  ++nodesCreated;
  return true;
}

void TraceContext::clearNodeStack() {
  while (popNode()) {
  }
}

bool TraceContext::resetNodeStack() {
  clearNodeStack();
  return pushNode();
}

void TraceContext::flushProgress() {
  if (pendingProgress_ == 0.0 || !scene.frameBuffer) return;
  scene.frameBuffer->progress.fetch_add(pendingProgress_, std::memory_order_relaxed);
  pendingProgress_ = 0.0;
}

}  // namespace engine
