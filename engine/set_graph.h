#pragma once

#include "ifs_set.h"

namespace engine {

class Fractal;

// Operations on a scene's singly linked set list (root first) and the graph
// that the members' targets form. All walks are iterative: scripts can build
// chains of sets far deeper than the call stack.

// Deletes every set of the list with its members and empties the list.
void deleteSets(IfsSet*& list);

// A copy of the list with copies of every member (made by the scene's
// member type); targets point into the copy. A target that is not in the
// list becomes null.
IfsSet* copySets(const IfsSet* list, const Fractal& scene);

// Deletes every set that cannot be reached from the root (the first set).
void pruneUnreachable(IfsSet*& list);

// Gives every set a level at least that of each of its targets, so that
// mutually dependent sets share one level, and sorts the list by level,
// highest first, keeping the root first.
void orderByLevel(IfsSet*& list);

}  // namespace engine
