#include "parser_core.h"

#include "engine/frame_buffer.h"
#include "script_error.h"
#include "values.h"

namespace lang {

void ParserCore::setAngleUnit(bool radians) {
  if (executing()) scene->render.useRadians = radians;
}

void ParserCore::setTracingDepth(int depth) {
  if (executing()) scene->render.tracingDepth = depth;
}

void ParserCore::setAntialiasing(int factor) {
  if (executing()) scene->render.antialiasing = factor;
}

void ParserCore::setSection(const double* plane) {
  if (!executing()) return;
  engine::RenderSettings& render = scene->render;
  render.sectionEnabled = true;
  render.sectionNormal = vectorFromArguments(plane);
  render.sectionOffset = plane[3];
}

void ParserCore::setFrameRate(double value) {
  frameRate = truncateToInt(value);
}

void ParserCore::saveFrame(const antlr::RefToken& at) {
  if (!executing()) return;
  if (!hasSetsToRender()) throw Var::varException("no set defined!");
  if (reportUndefinedSets()) throw Var::varException("undefined sets found");
  if (!cameraSeen) throw Var::varException("camera statement not found");
  engine::FrameBuffer& frame = *scene->frameBuffer;
  const bool wanted = frame.frameWanted(frame.frameCount);
  const bool rendered = wanted ? scene->renderFrame() : scene->setUpFrame();
  if (!rendered || scene->canceled)
    raiseAt(at, scene->canceled ? "canceled by user" : "build frame error");
  if (wanted && (!frame.frameSink || !frame.frameSink(frame))) raiseAt(at, "can't save frame");
  // The next frame is built from scratch; camera and variables stay.
  ++frame.frameCount;
  sets().clearAll();
  scene->lighting.lights.clear();
  frameSaved = true;
}

void ParserCore::beginCamera() {
  cameraSeen = true;
  if (!executing()) return;
  // Every camera statement starts from the default field of view, no stereo.
  const engine::CameraSettings defaults;
  scene->camera.fov = defaults.fov;
  scene->camera.stereo = defaults.stereo;
}

void ParserCore::setCameraPosition(const double* xyz) {
  if (executing()) scene->camera.position = vectorFromArguments(xyz);
}

void ParserCore::setCameraDirection(const double* xyz) {
  if (!executing()) return;
  scene->camera.direction = vectorFromArguments(xyz);
  scene->camera.autoCamera = false;
}

void ParserCore::setCameraVertical(const double* xyz) {
  if (executing()) scene->camera.verticalDirection = vectorFromArguments(xyz);
}

void ParserCore::setCameraFov(double angle) {
  if (executing()) scene->camera.fov = angle * angleFactor();
}

void ParserCore::setCameraStereo(double separation, double focalDistance) {
  if (!executing()) return;
  scene->camera.stereo = true;
  scene->camera.stereoSeparation = separation;
  scene->camera.focalDistance = focalDistance;
}

void ParserCore::finishCamera(const antlr::RefToken& keyword, bool position, bool direction,
                              bool vertical) {
  if (!direction && executing()) scene->camera.autoCamera = true;
  if (!position) raiseAt(keyword, "camera position required");
  if (!vertical) raiseAt(keyword, "camera vertical direction required");
}

void ParserCore::addLight(const LightItems& items, const antlr::RefToken& at) {
  if (!executing()) return;
  if (!items.colorGiven()) raiseAt(at, "color required");
  if (!items.placeGiven()) raiseAt(at, "position or direction required");
  scene->lighting.lights.push_back(items.light());
  lightAdded = true;
}

void ParserCore::setAmbientLight(const engine::Rgb& color) {
  if (executing()) scene->lighting.ambientLight = color;
}

void ParserCore::setBackground(const engine::Rgb& color) {
  if (executing()) scene->lighting.background = color;
}

void ParserCore::setReflectBackground(double value) {
  if (executing()) scene->lighting.reflectBackground = value != 0.0;
}

void ParserCore::clearLights() {
  if (executing()) scene->lighting.lights.clear();
}

}  // namespace lang
