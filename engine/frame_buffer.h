#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "random_state.h"

namespace engine {

// In pixels, y from the top; right and bottom exclusive.
struct SelectionRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// A copy of a frame buffer's image, in the same layout.
struct ImageCopy {
  std::vector<uint8_t> bits;
  uint32_t width = 0, height = 0, stride = 0;
  int bitsPerPixel = 0;
};

// A document's image with its depth buffer, the size the next frame is to
// have, the progress of the frame being built, the script text and the
// random state that every build advances.
class FrameBuffer {
 public:
  FrameBuffer();

  // Image: rows bottom first, blue-green-red (or 4 bytes a pixel at 32 bits),
  // each row padded to a multiple of 4 bytes. Empty until the first frame.
  std::vector<uint8_t> bits;
  std::vector<float> depth;  // width * height, bottom row first; +inf where nothing was hit
  bool valid = false;        // the image holds a complete frame
  int bitsPerPixel = 0;
  uint32_t width = 0, height = 0;
  uint32_t stride = 0;
  // Lets the interface show a frame while it renders: the renderer holds the
  // lock while it resizes the image or puts a tile into it, and counts the
  // tiles, so that a copy is taken only when there is something new.
  mutable std::mutex imageMutex;
  std::atomic<uint64_t> finishedTiles{0};

  uint32_t requestedWidth = 320, requestedHeight = 240;
  std::atomic<double> progress{-1.0};  // percent of the frame being built
  uint64_t memoryBudget = 512000;      // bytes of ray records for one tile

  // Zoom selection.
  int anchorX = 0, anchorY = 0;
  SelectionRect selection;
  int selectionHalfWidth = 0;
  bool zoomRequested = false;
  bool selectionAllowed = false;
  bool selectionDragged = false;

  RandomState randomState;       // the generator of "rnd"; advanced by every build
  RandomState savedRandomState;  // the state at the start of the last successful build

  std::string scriptText;
  // Where the camera statement that the last build executed starts in
  // scriptText; the camera editing looks for the statement from there.
  size_t cameraStatementOffset = 0;
  int frameCount = 0;
  int errorLine = -1;
  bool savesFrames = false;
  int framesPerSecond = 0;
  bool showRequested = false;

  // A share of the work when a render is split over processes. "save_frame"
  // traces and hands over only the frames numbered firstFrame to lastFrame;
  // the others change the scene as a render would, untraced.
  int firstFrame = 0, lastFrame = std::numeric_limits<int>::max();
  bool frameWanted(int number) const { return number >= firstFrame && number <= lastFrame; }
  // A render traces horizontal band bandIndex of bandCount (counted from the
  // top, on tile rows) and then holds the band's pixel rows, from the top.
  int bandIndex = 0, bandCount = 1;
  uint32_t bandTop = 0, bandHeight = 0;

  // Takes a frame rendered by "save_frame"; true when the frame was taken.
  std::function<bool(FrameBuffer&)> frameSink;
  // Called after the camera statement in scriptText was rewritten.
  std::function<void()> textChanged;

  bool hasImage() const { return !bits.empty(); }

  // (Re)allocates the image; the same size and depth keep pixels and depths.
  void resizeImage(uint32_t w, uint32_t h, int bpp);
  // The image as it stands, taken under the lock (also while rendering).
  ImageCopy copyImage() const;
  // Sets the selection rectangle around the anchor from half sizes, widened to
  // the aspect ratio of the requested image and clipped to it.
  void setSelection(int halfWidth, int halfHeight);
  // Writes the image as a 24-bit BMP file into an open stream; false when
  // there is no image or the stream failed. The caller owns the file, so
  // that a failed write never touches a file that was there before.
  bool writeBitmap(std::FILE* file) const;
};

}  // namespace engine
