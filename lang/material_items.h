#pragma once

#include "engine/material.h"

namespace lang {

// The material items after a build statement, into the build's new material.
// Those of a build that did not run go to a record of their own.
class MaterialItems {
 public:
  explicit MaterialItems(engine::Material* material) : material_(material ? material : &unused_) {}
  MaterialItems(const MaterialItems&) = delete;
  MaterialItems& operator=(const MaterialItems&) = delete;

  // "color": diffuse, specular and ambient alike.
  void setColor(const engine::Rgb& color) {
    material_->diffuse = material_->specular = material_->ambient = color;
  }
  void setDiffuse(const engine::Rgb& color) { material_->diffuse = color; }
  void setSpecular(const engine::Rgb& color) { material_->specular = color; }
  void setAmbient(const engine::Rgb& color) { material_->ambient = color; }
  // "metal": diffuse and specular, no ambient light.
  void setMetal(const engine::Rgb& color) {
    material_->diffuse = material_->specular = color;
    material_->ambient = engine::Rgb{};
  }
  void setShininess(double value) { material_->shininess = value; }
  void setReflection(double value) { material_->reflection = value; }
  void setPower(double value) { material_->power = value; }
  void setWeight(double value) { material_->weight = value; }

 private:
  engine::Material unused_;
  engine::Material* material_;
};

}  // namespace lang
