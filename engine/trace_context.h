#pragma once

#include <cstdint>
#include <vector>

#include "far_fields.h"
#include "near_rays.h"
#include "node_ray_tests.h"
#include "pixel_ray.h"
#include "ray_levels.h"
#include "sphere_node.h"
#include "vec3.h"
#include "walk_stats.h"

namespace engine {

class Fractal;

// Everything one worker mutates while it walks the sphere tree: the node
// pool with its stack and free list, and the rays of the tile it traces.
// The scene itself stays read-only while tiles are traced, so each worker
// owns one context and workers never share one.
class TraceContext {
 public:
  // At most kNodeLimit + 1 nodes are ever created by one context.
  static constexpr int kNodeLimit = 50000;

  explicit TraceContext(Fractal& scene);
  ~TraceContext();
  TraceContext(const TraceContext&) = delete;
  TraceContext& operator=(const TraceContext&) = delete;

  Fractal& scene;

  // --- Node pool. The stack is linked through SphereNode::next, top first.
  SphereNode* top = nullptr;
  SphereNode* freeList = nullptr;
  int nodesCreated = 0;

  // Puts a free (or new) node on top; false when the pool is exhausted.
  bool pushNode() {
    if (!freeList && !addFreeNode()) return false;
    SphereNode* n = freeList;
    freeList = n->next;
    n->next = top;
    top = n;
    return true;
  }
  // Moves the top node to the free list; false when the stack is empty.
  bool popNode() {
    SphereNode* n = top;
    if (!n) return false;
    top = n->next;
    releaseNode(n);
    return true;
  }
  // Moves a node taken off the stack to the free list.
  void releaseNode(SphereNode* n) {
    n->next = freeList;
    freeList = n;
  }
  void clearNodeStack();
  bool resetNodeStack();
  // Replaces the top node by its descendants whose squared radius is below
  // factor times its own; false when a split failed.
  bool expandTopNode(double factor);
  // Sorts the nodes strictly between head and end, nearest to sortOrigin first.
  void sortNodesByDistance(SphereNode* head, SphereNode* end);
  Vec3 sortOrigin;
  // Scratch of splitNode's random member pick: one flag per member of the
  // set being split.
  std::vector<uint8_t> pickedMembers;
  // The children that the last split pushed, in that order, if it lists them
  // (as splitNodeWith does); after expandTopNode, the nodes that it put in
  // the expanded one's place, top first (none when stopped before). The walks read
  // nodes from here rather than along the stack, whose every step waits for
  // the last.
  std::vector<SphereNode*> splitChildren;
  // Lists the nodes above `below` in splitChildren, top first.
  void listChildrenAbove(const SphereNode* below);

  // Scratch of the walks: the children of a node being put in visiting order.
  struct ChildKey {
    double distance2;
    int index;
    SphereNode* node;
  };
  std::vector<ChildKey> childOrder;
  // The order, by position in the maps' order, that the last sort of
  // children by distance found.
  std::vector<int> lastChildOrder;
  // Scratch of the hit and shadow walks: the rays tested against the nodes
  // of each nesting level (see SphereNode::rayLevel), and by record how far
  // each may reach (see hitNodeTest and shadowNodeTest).
  std::vector<RayLevel> rayLevels;
  std::vector<double> rayLimits;
  std::vector<FootprintHit> footprintHits;
  std::vector<RayId> blockedRays;
  ChildSpheres childSpheres;
  // Scratch of the normal walk: level n + 1 holds the hit points near the
  // node of level n being walked; the nodes weighed at once.
  std::vector<NearRays> nearRays;
  PointMasses pointMasses;

  // --- The tile being traced.
  std::vector<PixelRay> rays;
  PixelRay* active = nullptr;          // records of `rays`, linked
  int x0 = 0, x1 = 0, y0 = 0, y1 = 0;  // subpixels; x1 and y1 exclusive
  // Records of the tile: subpixel (x, y) is rays[(y - y0) * (x1 - x0) + x - x0].
  int tileRayCount() const { return (x1 - x0) * (y1 - y0); }
  int level = 0;
  double progressWeight = 0.0;  // percent the pass under way may add
  Vec3 currentEye;
  WalkStats walkStats;

  // Adds to the frame's progress; buffered so that workers rarely touch the
  // shared counter.
  void addProgress(double percent) {
    pendingProgress_ += percent;
    if (pendingProgress_ >= 0.01) flushProgress();
  }
  void flushProgress();

 private:
  // Creates a node for the free list; false when the pool is exhausted.
  bool addFreeNode();

  double pendingProgress_ = 0.0;
};

}  // namespace engine
