#pragma once

#include <cstdint>

#include "random_state.h"
#include "vec3.h"

namespace engine {

struct IfsSet;
struct Material;

// One map of a set applied to a target set. The map itself lives in the
// concrete member class of each fractal type.
class SetMember {
 public:
  virtual ~SetMember() = default;

  // this map := this map o other's map
  virtual void compose(const SetMember& other) = 0;
  virtual Vec3 apply(const Vec3& p) const = 0;
  virtual bool buildFrom(const struct MapSpec& spec) = 0;

  RandomState colorState;
  int32_t colorKey = 0;          // the "|" suffix; 0 = none
  double selectionWeight = 1.0;  // the "{...}" suffix
  int32_t mapIndex = 0;          // into the scene's map table
  const Material* material = nullptr;
  double weight = -1.0;  // negative: unset
  IfsSet* target = nullptr;
  SetMember* next = nullptr;
};

// The members that a split uses and the sum of their weights, which is 0
// unless every one of them has a weight.
struct SplitWeights {
  int32_t count = 0;
  double total = 0.0;
};

// A set is the union of its members' images. Owned by the scene's set list.
struct IfsSet {
  ~IfsSet();  // deletes the members

  int32_t selectionCount = 0;    // 0: every member; n: n members picked at random per split
  int32_t splitMemberCount = 0;  // set with splitWeightTotal
  IfsSet* next = nullptr;
  SetMember* members = nullptr;
  bool mark = false;
  int32_t level = 0;
  Vec3 boundCenter;
  double boundRadius2 = -1.0;  // negative: no bound yet
  // For the splits of a compiled set, which use every member unless they
  // pick: the sum of the members' weights in list order, 0 unless every
  // member has one (the count of members is next to the selection count).
  double splitWeightTotal = 0.0;

  bool defined() const { return members != nullptr; }
  int memberCount() const;
  // `picked` flags members in list order; null takes every member.
  SplitWeights splitWeights(const uint8_t* picked = nullptr) const;
};

}  // namespace engine
