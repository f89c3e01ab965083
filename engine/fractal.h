#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame_view.h"
#include "ifs_set.h"
#include "map_index.h"
#include "map_spec.h"
#include "material.h"
#include "random_state.h"
#include "scene_settings.h"
#include "walk_stats.h"

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
  void clearMapTable() {
    mapTable.clear();
    mapIndex_.clear();
  }
  // A new material record with the build statement's defaults.
  Material* addMaterial();
  const Material* defaultMaterial() const { return materials_.front().get(); }

  std::vector<MapSpec> mapTable;
  RandomState sceneRandomState =
      RandomState::fromLimbs(6771, 13047, 1286);  // colour generator, "randState"
  bool randomPickEnabled = true;

  // ---- Build state ----------------------------------------------------------

  FrameBuffer* frameBuffer = nullptr;
  int threadCount = 0;  // render workers, the host's choice; 0: one per core
  // The normal walk's far-field loop in vector instructions; off: the plain
  // loop, for checking it.
  bool vectorWalks = true;
  std::atomic<bool> canceled{false};
  std::string renderError;
  WalkStats walkStats;  // of the last frame rendered
  // Stores the message, stops the build and returns false.
  bool fail(const char* message) {
    renderError = message;
    canceled = true;
    return false;
  }

  // ---- Settings and the frame -----------------------------------------------

  CameraSettings camera;
  RenderSettings render;
  LightingSettings lighting;
  FrameView view;  // derived by setupCamera

  void setupCamera();
  // What a render does before tracing: compiles the sets (advancing the
  // colour generator) and sets the camera up. A frame that is skipped does
  // only this, so that later frames come out as in a full run.
  bool setUpFrame();
  // Traces the current set into the frame buffer, or hands the set-up frame
  // to frameExport when there is one.
  bool renderFrame();
  // Takes the place of tracing for a host that exports the attractor (a mesh
  // or a volume) instead of a picture; returns what renderFrame returns.
  std::function<bool(Fractal&)> frameExport;
  // World point under an image pixel (y from the top) of the last frame.
  std::string pointAtPixel(int x, int y) const;
  // The same as a point: the surface seen there, or for a background pixel
  // the point of its ray at `missDepth` in front of the camera. Nothing
  // without a finished frame, or for a stereo pair.
  std::optional<Vec3> worldPointAtPixel(int x, int y, double missDepth) const;

 protected:
  IfsSet* sets_ = nullptr;      // list, root first; owned
  IfsSet* prepared_ = nullptr;  // compiled copy of sets_, root first; owned
  std::vector<std::unique_ptr<Material>> materials_;

 private:
  struct PixelDepth {
    Vec3 direction;  // in the camera basis, unit length
    float depth;     // along it; +inf where nothing was hit
  };
  std::optional<PixelDepth> depthAtPixel(int x, int y) const;

  MapSpecIndex mapIndex_;  // of mapTable
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
