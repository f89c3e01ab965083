// Refinement and ordering of the nodes on a context's stack.
#include "fractal.h"
#include "sphere_node.h"
#include "trace_context.h"

namespace engine {

namespace {

void sanitizeRadius(SphereNode& node) {
  if (!(node.radius2 >= 0)) node.radius2 = 0;  // negative or not a number
}

double distance2(const SphereNode& node, const Vec3& origin) {
  return (node.center - origin).lengthSquared();
}

// Whether none of `children` is to be split again under `threshold`; their
// radii are sanitized on the way.
bool noneToSplit(const std::vector<SphereNode*>& children, double threshold) {
  for (SphereNode* child : children) {
    sanitizeRadius(*child);
    if (threshold > 0 && child->radius2 >= threshold) return false;
  }
  return true;
}

}  // namespace

bool TraceContext::expandTopNode(double factor) {
  if (scene.canceled || !top) {
    splitChildren.clear();
    return true;
  }
  SphereNode* const expanded = top;
  sanitizeRadius(*expanded);
  const double threshold = factor * expanded->radius2;
  SphereNode* const below = expanded->next;
  SphereNode* collected = nullptr;
  SphereNode* collectedLast = nullptr;
  bool ok = true;
  // The expanded node is the first one popped; a later one may take its
  // place in the pool, so it is told by its turn, not by its address.
  for (bool first = true; top != below && !scene.canceled; first = false) {
    SphereNode* node = top;
    sanitizeRadius(*node);
    top = node->next;
    // Nothing is smaller than a node of radius 0: its children are the
    // result, or the expansion would never end.
    const bool split = node->radius2 >= threshold && (threshold > 0 || first);
    if (!split) {
      if (!collected) collectedLast = node;
      node->next = collected;
      collected = node;
      continue;
    }
    splitChildren.clear();
    ok = scene.splitNode(*this, *node);
    releaseNode(node);
    if (!ok) break;
    // Mostly the expanded node's children are all it yields. They then take
    // the order that collecting them gives (the first pushed on top) from
    // the split's list of them, sparing a walk along the stack.
    if (first && !splitChildren.empty() && noneToSplit(splitChildren, threshold)) {
      top = below;
      for (auto child = splitChildren.rbegin(); child != splitChildren.rend(); ++child) {
        (*child)->next = top;
        top = *child;
      }
      return true;
    }
  }
  // The collected nodes go back with the last one on top, or to the free
  // list when a split failed.
  if (collected) {
    SphereNode*& destination = ok ? top : freeList;
    collectedLast->next = destination;
    destination = collected;
  }
  if (ok) listChildrenAbove(below);
  return ok;
}

void TraceContext::listChildrenAbove(const SphereNode* below) {
  splitChildren.clear();
  for (SphereNode* child = top; child != below; child = child->next) splitChildren.push_back(child);
}

void TraceContext::sortNodesByDistance(SphereNode* head, SphereNode* end) {
  while (head != end) {
    SphereNode* pivot = head->next;
    if (pivot == end || pivot->next == end) return;
    const double pivotDistance = distance2(*pivot, sortOrigin);
    // Partition the nodes after the pivot, keeping their order in each part;
    // ties go after the pivot.
    SphereNode *before = nullptr, *after = nullptr;
    SphereNode **beforeTail = &before, **afterTail = &after;
    int beforeCount = 0, afterCount = 0;
    for (SphereNode* n = pivot->next; n != end; n = n->next)
      if (distance2(*n, sortOrigin) >= pivotDistance) {
        *afterTail = n;
        afterTail = &n->next;
        ++afterCount;
      } else {
        *beforeTail = n;
        beforeTail = &n->next;
        ++beforeCount;
      }
    *afterTail = end;
    pivot->next = after;
    *beforeTail = pivot;
    head->next = before;
    // The two parts are independent: recurse into the smaller one so that
    // the depth stays logarithmic, and go on with the larger one here.
    if (afterCount < beforeCount) {
      sortNodesByDistance(pivot, end);
      end = pivot;
    } else {
      sortNodesByDistance(head, pivot);
      head = pivot;
    }
  }
}

}  // namespace engine
