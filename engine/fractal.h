#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "ifs_set.h"
#include "light.h"
#include "map_spec.h"
#include "material.h"
#include "random_state.h"
#include "vec3.h"

namespace engine {

class FrameBuffer;
class TraceContext;
struct SphereNode;

enum class FractalType : int { Affine = 0, Conformal = 1 };

// The scene of one build: the sets and map table that the script defines,
// camera, lights, materials and render settings. The two concrete types
// differ only in how maps are represented (AffineFractal, ConformalFractal).
class Fractal {
 public:
  explicit Fractal(FractalType type);
  virtual ~Fractal();
  Fractal(const Fractal&) = delete;
  Fractal& operator=(const Fractal&) = delete;

  FractalType type() const { return type_; }

  // ---- Sets ---------------------------------------------------------------

  // Resets the context's stack to the root node of the current set.
  virtual bool initRoot(TraceContext& ctx) const;
  // A node of the type's size.
  virtual std::unique_ptr<SphereNode> newNode() const = 0;
  // Compiles a copy of the sets and checks it before a render; on failure
  // renderError and canceled are set. Each call starts again from the sets
  // as defined, so a script may render, define more and render again.
  virtual bool prepare();
  // Pushes the children of `node` onto the context's stack, one per used
  // member of its set, each bounding the member's image of its target.
  virtual bool splitNode(TraceContext& ctx, SphereNode& node) const = 0;
  virtual std::unique_ptr<SetMember> cloneMember(const SetMember& member) const = 0;
  // A member of the type's map class with the identity map index, not yet in a set.
  virtual std::unique_ptr<SetMember> newMember(IfsSet* target) const = 0;
  // Deletes every set, the compiled ones included.
  virtual void clearSets();
  // Gives every compiled set without an explicit bound a bounding sphere.
  virtual bool computeBounds();

  // The sets as the script defines them; prepare never changes them.
  IfsSet* rootSet() const { return sets_; }
  IfsSet* firstSet() const { return sets_; }
  // The compiled copy that the last successful prepare made and that the
  // renderer walks: pruned, collapsed, ordered by level and bounded.
  const IfsSet* preparedSets() const { return prepared_; }
  // A new empty set linked just after the root (the root is created first).
  IfsSet* newSet();
  // A new member at the front of `owner`'s list.
  SetMember* addMember(IfsSet* owner, IfsSet* target);
  // Index of the map call in the map table, appended when absent; entry 0 is the
  // identity and is put in before the first entry.
  int addMapSpec(const MapSpec& spec);
  void clearMapTable() { mapTable.clear(); }
  // A new material record with the build statement's defaults.
  Material* addMaterial();
  const Material* defaultMaterial() const { return materials_.front().get(); }

  std::vector<MapSpec> mapTable;
  RandomState sceneRandomState{6771, 13047, 1286};  // colour generator, "randState"
  bool randomPickEnabled = true;

  // ---- Build state ----------------------------------------------------------

  FrameBuffer* frameBuffer = nullptr;
  std::atomic<bool> canceled{false};
  std::string renderError;
  // Stores the message, stops the build and returns false.
  bool fail(const char* message) {
    renderError = message;
    canceled = true;
    return false;
  }

  // ---- Render settings ------------------------------------------------------

  bool useRadians = false;
  int tracingDepth = 1;
  int antialiasing = 1;
  bool sectionEnabled = false;
  Vec3 sectionNormal;
  double sectionOffset = 0.0;
  double precisionFactor = 2.0;
  double footprintFactor = 0.7;
  double normalRadiusFactor = 2.0;
  double shadowNodeFactor = 2.0;
  double shadowFootprintFactor = 1.0;
  int threadCount = 0;  // render workers; 0: one per core

  // ---- Camera ---------------------------------------------------------------

  Vec3 position{0, 0, -5};
  Vec3 direction{0, 0, 1};
  Vec3 verticalDirection{0, 1, 0};
  double fov = 0.8726646259944445;  // vertical, radians (50 degrees)
  bool stereo = false;
  double stereoSeparation = 0.0;
  double focalDistance = 1.0;
  bool autoCamera = false;

  // Derived by setupCamera for the frame.
  Vec3 viewDir, viewUp, viewRight;
  Vec3 leftEye, rightEye;
  double subpixelSize = 0.0;
  int subpixelWidth = 0, subpixelHeight = 0;  // Ws, Hs

  void setupCamera();
  // Traces the current set into the frame buffer.
  bool renderFrame();
  // World point under an image pixel (y from the top) of the last frame.
  std::string pointAtPixel(int x, int y) const;

  // ---- Lights and materials -------------------------------------------------

  std::vector<Light> lights;        // as the statements gave them
  std::vector<Light> placedLights;  // in world space for the frame
  Rgb ambientLight;
  Rgb background;
  bool reflectBackground = false;

 protected:
  IfsSet* sets_ = nullptr;      // list, root first; owned
  IfsSet* prepared_ = nullptr;  // compiled copy of sets_, root first; owned
  std::vector<std::unique_ptr<Material>> materials_;

 private:
  FractalType type_;
};

class AffineFractal final : public Fractal {
 public:
  AffineFractal() : Fractal(FractalType::Affine) {}
  std::unique_ptr<SphereNode> newNode() const override;
  std::unique_ptr<SetMember> cloneMember(const SetMember& member) const override;
  std::unique_ptr<SetMember> newMember(IfsSet* target) const override;
  bool splitNode(TraceContext& ctx, SphereNode& node) const override;
};

class ConformalFractal final : public Fractal {
 public:
  ConformalFractal() : Fractal(FractalType::Conformal) {}
  std::unique_ptr<SphereNode> newNode() const override;
  std::unique_ptr<SetMember> cloneMember(const SetMember& member) const override;
  std::unique_ptr<SetMember> newMember(IfsSet* target) const override;
  bool splitNode(TraceContext& ctx, SphereNode& node) const override;
};

// The scene factory: the type pre-scan's result 1 makes a ConformalFractal,
// results from -1 up any other an AffineFractal, results below -1 none.
std::unique_ptr<Fractal> createFractal(int detectedType);

}  // namespace engine
