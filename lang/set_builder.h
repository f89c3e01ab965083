#pragma once

#include <map>
#include <string>

#include <antlr/Token.hpp>

#include "engine/fractal.h"
#include "set_value.h"
#include "var.h"

namespace lang {

using SetNames = std::map<std::string, engine::IfsSet*>;

// Executes set expressions into the scene's sets and map table. Every term
// adds a member at the front of its receiving set; a null receiving set (a
// "set" statement without assignment) receives nothing.
class SetBuilder {
 public:
  SetBuilder(engine::Fractal& scene, SetNames& names, const std::map<std::string, Var>& variables)
      : scene_(scene), names_(names), variables_(variables) {}

  // Factors.
  SetValue nameFactor(engine::IfsSet* receiving, const std::string& name,
                      const antlr::RefToken& at);
  SetValue mapFactor(engine::IfsSet* receiving, const engine::MapSpec& spec);
  // A parenthesised expression: the set its inside fills, and its member.
  engine::IfsSet* openGroup(engine::IfsSet* receiving, engine::SetMember*& member);
  SetValue closeGroup(engine::SetMember* member, const SetValue& inside);

  // Terms: where the factor after `previous` goes, and the two composed.
  engine::IfsSet* continuation(const SetValue& previous, const antlr::RefToken& at);
  static SetValue compose(const SetValue& first, const SetValue& next);
  static void setSelectionWeight(SetValue& term, double weight);
  static void setColorKey(SetValue& term, int key);

  // Sums: all terms end in sets, or all in maps (their open ends then lead
  // to the last term's, so one following factor continues every term).
  SetValue addTerm(const SetValue& sum, const SetValue& term, const antlr::RefToken& at);

  // "name = right": the set that receives the right side.
  engine::IfsSet* beginDefinition(const SetValue& left, const antlr::RefToken& at);
  SetValue endDefinition(const SetValue& left, const SetValue& right, const antlr::RefToken& at);
  // "name += right": a new set holding the old one, which receives the right
  // side and is then denoted by the name.
  engine::IfsSet* beginExtension(const SetValue& left, const antlr::RefToken& at);
  SetValue endExtension(const SetValue& left, engine::IfsSet* extended, const SetValue& right,
                        const antlr::RefToken& at);

  // "set" and "build" need an expression that ends in a set.
  static void requireSet(const SetValue& value, const antlr::RefToken& at);
  // The root's new member of a "build", with the default material; its
  // target receives the expression.
  engine::SetMember* beginBuild();
  // "clearSets": no set, no map, and every name denotes a fresh set again.
  void clearAll();

 private:
  engine::IfsSet* namedSet(const std::string& name);
  static engine::IfsSet* requireName(const SetValue& left, const antlr::RefToken& at);

  engine::Fractal& scene_;
  SetNames& names_;
  const std::map<std::string, Var>& variables_;
};

}  // namespace lang
