#pragma once

#include <string>

namespace engine {
struct IfsSet;
class SetMember;
}  // namespace engine

namespace lang {

// What a set expression left behind while it was executed.
struct SetValue {
  // The member the term added to its receiving set (suffixes apply to it).
  engine::SetMember* member = nullptr;
  // The expression ends in a map call: a following factor continues it in
  // `openEnd`. Otherwise it ends in a set.
  bool open = false;
  engine::IfsSet* openEnd = nullptr;
  // A lone set name, the only assignable expression: the set it denotes.
  engine::IfsSet* named = nullptr;
  std::string name;
};

}  // namespace lang
