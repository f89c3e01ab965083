#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "fractal.h"
#include "frame_buffer.h"
#include "tile_layout.h"
#include "tile_tracer.h"
#include "trace_context.h"

namespace engine {

namespace {

// What a worker met besides its tiles.
struct WorkerOutcome {
  bool shadowStopped = false;
  bool outOfMemory = false;
  WalkStats walks;
};

void resetTileRecords(TraceContext& ctx) {
  for (int i = 0, n = ctx.tileRayCount(); i < n; ++i) {
    PixelRay& ray = ctx.rays[size_t(i)];
    ray.flags = PixelRay::kActive | PixelRay::kBackground;
    ray.color = {};
  }
}

// Sums each pixel's subpixels into the image, clipped to 0..255.
void downsampleTile(TraceContext& ctx, FrameBuffer& frame) {
  const std::lock_guard lock(frame.imageMutex);
  const Fractal& scene = ctx.scene;
  const int aa = scene.render.antialiasing;
  const int width = ctx.x1 - ctx.x0;
  const double scale = 255.0 / (aa * aa);
  const Rgb& background = scene.lighting.background;
  for (int y = ctx.y0; y < ctx.y1; y += aa) {
    uint8_t* pixel = frame.bits.data() + size_t(y / aa) * frame.stride + size_t(ctx.x0 / aa) * 3;
    for (int x = ctx.x0; x < ctx.x1; x += aa, pixel += 3) {
      double sum[3] = {0.0, 0.0, 0.0};
      for (int j = 0; j < aa; ++j) {
        const PixelRay* ray = &ctx.rays[size_t(y - ctx.y0 + j) * width + (x - ctx.x0)];
        for (int i = 0; i < aa; ++i, ++ray) {
          if (ray->flags & PixelRay::kBackground) {
            sum[0] += background.b, sum[1] += background.g, sum[2] += background.r;
          } else {
            sum[0] += ray->color.z, sum[1] += ray->color.y, sum[2] += ray->color.x;
          }
        }
      }
      for (int c = 0; c < 3; ++c) {
        const double v = sum[c] * scale;
        // Negative and non-numeric sums give 0; the comparison order keeps
        // the conversion defined for infinities.
        pixel[c] = !(v > 0.0) ? 0 : v + 0.5 >= 255.0 ? 255 : uint8_t(v + 0.5);
      }
    }
  }
  ++frame.finishedTiles;
}

// One tile: both eyes of a stereo pair add their light into the same
// records. False when a shadow walk was stopped.
bool renderTile(TraceContext& ctx, FrameBuffer& frame, double share) {
  const Fractal& scene = ctx.scene;
  resetTileRecords(ctx);
  if (scene.camera.stereo) {
    ctx.currentEye = scene.view.leftEye;
    if (!traceTile(ctx, share * 0.5)) return false;
    for (int i = 0, n = ctx.tileRayCount(); i < n; ++i)
      ctx.rays[size_t(i)].flags |= PixelRay::kActive;
    ctx.currentEye = scene.view.rightEye;
    share *= 0.5;
  } else {
    ctx.currentEye = scene.camera.position;
  }
  if (!traceTile(ctx, share)) return false;
  downsampleTile(ctx, frame);
  return true;
}

// Takes tiles from `next` until none is left or the render is stopped.
void renderTiles(Fractal& scene, const TileLayout& layout, std::atomic<int>& next,
                 WorkerOutcome& outcome) {
  try {
    TraceContext ctx(scene);
    ctx.rays.resize(layout.records);
    FrameBuffer& frame = *scene.frameBuffer;
    // A tile's share of the progress is its share of the area traced.
    const TileLayout::Bounds area = layout.area();
    const int areaWidth = area.x1 - area.x0, areaHeight = area.y1 - area.y0;
    for (int index; !scene.canceled && (index = next.fetch_add(1)) < layout.count();) {
      const TileLayout::Bounds b = layout.tile(index);
      ctx.x0 = b.x0, ctx.y0 = b.y0, ctx.x1 = b.x1, ctx.y1 = b.y1;
      const double share = (b.x1 - b.x0) * 100.0 / areaWidth * (b.y1 - b.y0) / areaHeight;
      const bool rendered = renderTile(ctx, frame, share);
      outcome.walks = ctx.walkStats;
      if (!rendered) {
        outcome.shadowStopped = true;
        return;
      }
      ctx.flushProgress();
    }
  } catch (const std::bad_alloc&) {
    outcome.outOfMemory = true;
    scene.canceled = true;
  }
}

int workerCount(int requested, int tiles) {
  const int cores = std::max(int(std::thread::hardware_concurrency()), 1);
  return std::clamp(requested > 0 ? requested : cores, 1, std::max(tiles, 1));
}

}  // namespace

bool Fractal::setUpFrame() {
  if (!frameBuffer) return false;
  render.antialiasing = std::max(render.antialiasing, 1);
  if (!prepare() || canceled) return false;
  setupCamera();
  return !canceled;
}

bool Fractal::renderFrame() {
  if (!setUpFrame()) return false;
  if (frameExport) return frameExport(*this);
  FrameBuffer& frame = *frameBuffer;
  const TileLayout whole =
      layoutTiles(view.subpixelWidth, view.subpixelHeight, render.antialiasing, frame.memoryBudget);
  const TileLayout layout =
      frame.bandCount > 1 ? whole.band(frame.bandIndex, frame.bandCount) : whole;
  if (layout.count() == 0) {
    renderError = "The image has only " + std::to_string(whole.rows) + " tile rows, too few for " +
                  std::to_string(frame.bandCount) + " bands";
    canceled = true;
    return false;
  }
  const TileLayout::Bounds area = layout.area();
  frame.bandTop = uint32_t((view.subpixelHeight - area.y1) / render.antialiasing);
  frame.bandHeight = uint32_t((area.y1 - area.y0) / render.antialiasing);
  frame.progress = 0.0;
  frame.resizeImage(frame.requestedWidth, frame.requestedHeight, 24);
  frame.valid = false;
  std::fill(frame.depth.begin(), frame.depth.end(), std::numeric_limits<float>::infinity());

  // This thread is one of the workers; the tiles go to whoever is free.
  std::atomic<int> next{0};
  std::vector<WorkerOutcome> outcomes(size_t(workerCount(threadCount, layout.count())));
  std::vector<std::thread> helpers;
  try {
    for (size_t i = 1; i < outcomes.size(); ++i)
      helpers.emplace_back(renderTiles, std::ref(*this), std::cref(layout), std::ref(next),
                           std::ref(outcomes[i]));
  } catch (const std::system_error&) {
    // Fewer threads than asked for: the ones running share all tiles.
  }
  renderTiles(*this, layout, next, outcomes[0]);
  for (std::thread& helper : helpers) helper.join();

  bool shadowStopped = false, outOfMemory = false;
  walkStats = {};
  for (const WorkerOutcome& outcome : outcomes) {
    shadowStopped |= outcome.shadowStopped;
    outOfMemory |= outcome.outOfMemory;
    walkStats += outcome.walks;
  }
  if (outOfMemory) renderError = "Not enough memory";
  frame.valid = !canceled;
  return !shadowStopped && !outOfMemory;
}

}  // namespace engine
