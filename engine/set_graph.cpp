#include "set_graph.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "fractal.h"

namespace engine {

namespace {

void clearMarks(IfsSet* list) {
  for (IfsSet* s = list; s; s = s->next) s->mark = false;
}

void markReachable(IfsSet* root) {
  std::vector<IfsSet*> pending{root};
  root->mark = true;
  while (!pending.empty()) {
    IfsSet* s = pending.back();
    pending.pop_back();
    for (SetMember* m = s->members; m; m = m->next)
      if (!m->target->mark) {
        m->target->mark = true;
        pending.push_back(m->target);
      }
  }
}

// One depth-first walk from the root that numbers the sets in post-order and
// raises each set's level to the highest level of its targets.
void raiseLevels(IfsSet* root) {
  struct Visit {
    IfsSet* set;
    SetMember* nextMember;
  };
  std::vector<Visit> path{{root, root->members}};
  root->mark = true;
  int32_t counter = 0;
  while (!path.empty()) {
    Visit& visit = path.back();
    if (SetMember* m = visit.nextMember) {
      visit.nextMember = m->next;
      if (!m->target->mark) {
        m->target->mark = true;
        path.push_back({m->target, m->target->members});
      }
      continue;
    }
    IfsSet* s = visit.set;
    path.pop_back();
    int32_t level = std::max(s->level, ++counter);
    for (const SetMember* m = s->members; m; m = m->next) level = std::max(level, m->target->level);
    s->level = level;
  }
}

bool levelsConsistent(const IfsSet* list) {
  for (const IfsSet* s = list; s; s = s->next)
    for (const SetMember* m = s->members; m; m = m->next)
      if (m->target->level > s->level) return false;
  return true;
}

}  // namespace

void deleteSets(IfsSet*& list) {
  while (list) {
    IfsSet* s = list;
    list = s->next;
    delete s;
  }
}

IfsSet* copySets(const IfsSet* list, const Fractal& scene) {
  std::unordered_map<const IfsSet*, IfsSet*> copyOf;
  IfsSet* first = nullptr;
  IfsSet** link = &first;
  for (const IfsSet* s = list; s; s = s->next) {
    IfsSet* copy = new IfsSet;
    copy->selectionCount = s->selectionCount;
    copy->boundCenter = s->boundCenter;
    copy->boundRadius2 = s->boundRadius2;
    copyOf[s] = copy;
    *link = copy;
    link = &copy->next;
  }
  for (const IfsSet* s = list; s; s = s->next) {
    SetMember** memberLink = &copyOf[s]->members;
    for (const SetMember* m = s->members; m; m = m->next) {
      std::unique_ptr<SetMember> copy = scene.cloneMember(*m);
      const auto target = copyOf.find(m->target);
      copy->target = target == copyOf.end() ? nullptr : target->second;
      copy->next = nullptr;
      *memberLink = copy.release();
      memberLink = &(*memberLink)->next;
    }
  }
  return first;
}

void pruneUnreachable(IfsSet*& list) {
  if (!list) return;
  clearMarks(list);
  markReachable(list);
  for (IfsSet** link = &list; *link;) {
    IfsSet* s = *link;
    if (s->mark) {
      link = &s->next;
    } else {
      *link = s->next;
      delete s;
    }
  }
}

void orderByLevel(IfsSet*& list) {
  if (!list) return;
  for (IfsSet* s = list; s; s = s->next) s->level = 0;
  // Levels only rise and stay below the number of sets, so this ends.
  do {
    clearMarks(list);
    raiseLevels(list);
  } while (!levelsConsistent(list));

  std::vector<IfsSet*> rest;
  for (IfsSet* s = list->next; s; s = s->next) rest.push_back(s);
  std::stable_sort(rest.begin(), rest.end(),
                   [](const IfsSet* a, const IfsSet* b) { return a->level > b->level; });
  IfsSet* tail = list;
  for (IfsSet* s : rest) tail = tail->next = s;
  tail->next = nullptr;
}

}  // namespace engine
