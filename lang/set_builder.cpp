#include "set_builder.h"

#include "script_error.h"

namespace lang {

using engine::IfsSet;
using engine::SetMember;

IfsSet* SetBuilder::namedSet(const std::string& name) {
  IfsSet*& set = names_[name];
  if (!set) set = scene_.newSet();
  return set;
}

IfsSet* SetBuilder::requireName(const SetValue& left, const antlr::RefToken& at) {
  if (!left.named) raiseAt(at, "not an l-value in assigment ");
  return left.named;
}

SetValue SetBuilder::nameFactor(IfsSet* receiving, const std::string& name,
                                const antlr::RefToken& at) {
  const auto variable = variables_.find(name);
  if (variable != variables_.end() && variable->second.isReal())
    raiseAt(at, "real-valued variable '" + name + "' used as lvalue in set expresion");
  SetValue value;
  value.named = namedSet(name);
  value.name = name;
  if (receiving) value.member = scene_.addMember(receiving, value.named);
  return value;
}

SetValue SetBuilder::mapFactor(IfsSet* receiving, const engine::MapSpec& spec) {
  SetValue value;
  value.open = true;
  if (!receiving) return value;
  value.openEnd = scene_.newSet();
  value.member = scene_.addMember(receiving, value.openEnd);
  value.member->mapIndex = scene_.addMapSpec(spec);
  return value;
}

IfsSet* SetBuilder::openGroup(IfsSet* receiving, SetMember*& member) {
  member = nullptr;
  if (!receiving) return nullptr;
  IfsSet* group = scene_.newSet();
  member = scene_.addMember(receiving, group);
  return group;
}

SetValue SetBuilder::closeGroup(SetMember* member, const SetValue& inside) {
  SetValue value;
  value.member = member;
  value.open = inside.open;
  value.openEnd = inside.openEnd;
  return value;
}

IfsSet* SetBuilder::continuation(const SetValue& previous, const antlr::RefToken& at) {
  // Only a map can be followed by another factor: after a set there is no
  // open end to continue in.
  if (!previous.open) raiseAt(at, "wrong set expression");
  return previous.openEnd;
}

SetValue SetBuilder::compose(const SetValue& first, const SetValue& next) {
  SetValue value;
  value.member = first.member;
  value.open = next.open;
  value.openEnd = next.openEnd;
  return value;
}

void SetBuilder::setSelectionWeight(SetValue& term, double weight) {
  if (term.member) term.member->selectionWeight = weight;
  term.named = nullptr;
}

void SetBuilder::setColorKey(SetValue& term, int key) {
  if (term.member) term.member->colorKey = key;
  term.named = nullptr;
}

SetValue SetBuilder::addTerm(const SetValue& sum, const SetValue& term, const antlr::RefToken& at) {
  if (sum.open != term.open) raiseAt(at, "can't add map to a set");
  if (sum.openEnd && term.openEnd) scene_.addMember(sum.openEnd, term.openEnd);
  SetValue value;
  value.open = term.open;
  value.openEnd = term.openEnd;
  return value;
}

IfsSet* SetBuilder::beginDefinition(const SetValue& left, const antlr::RefToken& at) {
  IfsSet* set = requireName(left, at);
  if (set->defined()) raiseAt(at, "set redefinition!");
  return set;
}

SetValue SetBuilder::endDefinition(const SetValue& left, const SetValue& right,
                                   const antlr::RefToken& at) {
  requireSet(right, at);
  SetValue value;
  value.member = left.member;  // already aimed at the defined set
  return value;
}

IfsSet* SetBuilder::beginExtension(const SetValue& left, const antlr::RefToken& at) {
  IfsSet* old = requireName(left, at);
  if (!old->defined()) raiseAt(at, "using += with undefined set!");
  IfsSet* extended = scene_.newSet();
  scene_.addMember(extended, old);
  return extended;
}

SetValue SetBuilder::endExtension(const SetValue& left, IfsSet* extended, const SetValue& right,
                                  const antlr::RefToken& at) {
  requireSet(right, at);
  names_[left.name] = extended;
  if (left.member) left.member->target = extended;
  SetValue value;
  value.member = left.member;
  return value;
}

void SetBuilder::requireSet(const SetValue& value, const antlr::RefToken& at) {
  if (value.open) raiseAt(at, "wrong set expression");
}

SetMember* SetBuilder::beginBuild() {
  IfsSet* body = scene_.newSet();  // makes the root first
  SetMember* member = scene_.addMember(scene_.rootSet(), body);
  member->material = scene_.defaultMaterial();
  return member;
}

void SetBuilder::clearAll() {
  scene_.clearSets();
  scene_.clearMapTable();
  names_.clear();
}

}  // namespace lang
