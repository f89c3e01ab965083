#include "parser_core.h"

namespace lang {

void ParserCore::requireSet(const SetValue& value, const antlr::RefToken& at) {
  if (executing()) SetBuilder::requireSet(value, at);
}

engine::SetMember* ParserCore::beginBuild() {
  return executing() ? sets().beginBuild() : nullptr;
}

engine::Material* ParserCore::newBuildMaterial(engine::SetMember* built) {
  if (!built) return nullptr;
  engine::Material* material = scene->addMaterial();
  built->material = material;
  return material;
}

void ParserCore::clearSets() {
  if (executing()) sets().clearAll();
}

engine::IfsSet* ParserCore::beginDefinition(const SetValue& left, const antlr::RefToken& at) {
  return executing() ? sets().beginDefinition(left, at) : nullptr;
}

SetValue ParserCore::endDefinition(const SetValue& left, const SetValue& right,
                                   const antlr::RefToken& at) {
  return executing() ? sets().endDefinition(left, right, at) : left;
}

engine::IfsSet* ParserCore::beginExtension(const SetValue& left, const antlr::RefToken& at) {
  return executing() ? sets().beginExtension(left, at) : nullptr;
}

SetValue ParserCore::endExtension(const SetValue& left, engine::IfsSet* extended,
                                  const SetValue& right, const antlr::RefToken& at) {
  return executing() ? sets().endExtension(left, extended, right, at) : left;
}

SetValue ParserCore::addTerm(const SetValue& sum, const SetValue& term, const antlr::RefToken& at) {
  return executing() ? sets().addTerm(sum, term, at) : sum;
}

engine::IfsSet* ParserCore::continuation(const SetValue& previous, const antlr::RefToken& at) {
  return executing() ? sets().continuation(previous, at) : nullptr;
}

SetValue ParserCore::compose(const SetValue& first, const SetValue& next) {
  return executing() ? SetBuilder::compose(first, next) : first;
}

void ParserCore::setSelectionWeight(SetValue& term, double weight) {
  if (executing()) SetBuilder::setSelectionWeight(term, weight);
}

void ParserCore::setColorKey(SetValue& term, int key) {
  if (executing()) SetBuilder::setColorKey(term, key);
}

engine::IfsSet* ParserCore::openGroup(engine::IfsSet* receiving, engine::SetMember*& member) {
  return executing() ? sets().openGroup(receiving, member) : nullptr;
}

SetValue ParserCore::closeGroup(engine::SetMember* member, const SetValue& inside) {
  return executing() ? sets().closeGroup(member, inside) : SetValue{};
}

void ParserCore::setSelectionCount(engine::IfsSet* group, int count) {
  if (executing() && group) group->selectionCount = count;
}

SetValue ParserCore::mapFactor(engine::IfsSet* receiving, const engine::MapSpec& spec) {
  return executing() ? sets().mapFactor(receiving, spec) : SetValue{};
}

SetValue ParserCore::nameFactor(engine::IfsSet* receiving, const std::string& name,
                                const antlr::RefToken& at) {
  return executing() ? sets().nameFactor(receiving, name, at) : SetValue{};
}

}  // namespace lang
