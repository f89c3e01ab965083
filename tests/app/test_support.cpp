#include "test_support.h"

#include <QStandardPaths>
#include <QTest>
#include <chrono>
#include <iostream>
#include <thread>

#include "engine/fractal.h"
#include "engine/frame_buffer.h"

namespace app::test {

namespace {

bool says(const engine::FrameBuffer& fb, const char* word) {
  return fb.scriptText.find(word) != std::string::npos;
}

void drawGreyImage(engine::FrameBuffer& fb) {
  fb.width = fb.requestedWidth;
  fb.height = fb.requestedHeight;
  fb.bitsPerPixel = 24;
  fb.stride = (fb.width * 3 + 3) / 4 * 4;
  fb.bits.assign(std::size_t(fb.stride) * fb.height, 0x80);
  fb.depth.assign(std::size_t(fb.width) * fb.height, 1.0f);
  fb.progress = 50.0;
  fb.valid = true;
}

// Test settings never reach the user's configuration.
const bool testMode = [] {
  QStandardPaths::setTestModeEnabled(true);
  return true;
}();

}  // namespace

std::unique_ptr<engine::Fractal> FakeBackend::createScene(engine::FrameBuffer& fb) {
  if (says(fb, "unscannable")) {
    std::cerr << "error: line 1:1: unexpected token: unscannable" << std::endl;
    return nullptr;
  }
  return engine::createFractal(0);
}

bool FakeBackend::run(engine::Fractal& scene) {
  ++runs;
  engine::FrameBuffer& fb = *scene.frameBuffer;
  scene.canceled = false;
  sawZoom = fb.zoomRequested;
  fb.randomState.next();
  if (says(fb, "fail")) {
    std::cerr << "error: line 2:1: unexpected token: fail" << std::endl;
    return false;
  }
  if (says(fb, "endless") || says(fb, "deaf")) {
    const bool deaf = says(fb, "deaf");
    fb.progress = 12.5;
    while (deaf ? !release.load() : !scene.canceled.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  if (says(fb, "camera")) {
    fb.scriptText = "camera position(1,2,3) vertical(0,1,0);\r\n";
    if (fb.textChanged) fb.textChanged();
    std::cout << "camera changed:" << std::endl;
  }
  drawGreyImage(fb);
  return true;
}

QMessageBox::StandardButton ScriptedDialogs::ask(QWidget*, const QString& text,
                                                 QMessageBox::StandardButtons) {
  questions << text;
  if (whileAsking) whileAsking();
  return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor(done, timeoutMs);
}

}  // namespace app::test
