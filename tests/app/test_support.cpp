#include "test_support.h"

#include <QStandardPaths>
#include <QThread>
#include <chrono>
#include <iostream>
#include <new>
#include <thread>

namespace app::test {

namespace {

bool says(const engine::FrameBuffer& fb, const char* word) {
  return fb.scriptText.find(word) != std::string::npos;
}

void drawGreyImage(engine::FrameBuffer& fb) {
  fb.resizeImage(fb.requestedWidth, fb.requestedHeight, 24);
  std::fill(fb.bits.begin(), fb.bits.end(), 0x80);
  fb.depth.assign(std::size_t(fb.width) * fb.height, 1.0f);
  fb.progress = 50.0;
  fb.valid = true;
}

// Test settings never reach the user's configuration.
const bool testMode = [] {
  QStandardPaths::setTestModeEnabled(true);
  return true;
}();

// What a question was asked by, and where.
QString askedBy(QWidget* owner) {
  const bool onInterfaceThread = QThread::currentThread() == QCoreApplication::instance()->thread();
  return QString(" by ") + (owner ? owner->metaObject()->className() : "nobody") +
         (onInterfaceThread ? "" : "!");
}

}  // namespace

std::unique_ptr<engine::Fractal> FakeBackend::createScene(engine::FrameBuffer& fb) {
  if (says(fb, "unscannable")) {
    std::cerr << "error: line 1:1: unexpected token: unscannable" << std::endl;
    return nullptr;
  }
  fb.savesFrames = says(fb, "save_frame");
  return engine::createFractal(0);
}

bool FakeBackend::run(engine::Fractal& scene) {
  ++runs;
  engine::FrameBuffer& fb = *scene.frameBuffer;
  scene.canceled = false;
  fb.randomState.next();
  if (says(fb, "everything")) throw std::bad_alloc();
  if (says(fb, "fail")) {
    std::cerr << "error: line 2:1: unexpected token: fail" << std::endl;
    return false;
  }
  if (fb.savesFrames) {
    if (says(fb, "void")) scene.renderError = "Set is void";
    drawGreyImage(fb);
    for (int frame = 0; frame < 2; ++frame) {
      if (!fb.frameSink || !fb.frameSink(fb)) {
        std::cerr << "error: line 1:1: can't save frame" << std::endl;
        return false;
      }
    }
  }
  if (says(fb, "endless") || says(fb, "deaf")) {
    const bool deaf = says(fb, "deaf");
    fb.progress = 12.5;
    while (deaf ? !release.load() : !scene.canceled.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  drawGreyImage(fb);
  return true;
}

QString ScriptedDialogs::saveFileName(QWidget* owner, const QString& suggested,
                                      const QString& filter, QString* chosen) {
  asked << "save " + suggested + " " + filter + askedBy(owner);
  if (chosen && !chosenFilter.isEmpty()) *chosen = chosenFilter;
  if (whileAsking) whileAsking();
  return fileName;
}

std::optional<VideoCompression> ScriptedDialogs::videoCompression(QWidget* owner,
                                                                  shell::VideoContainer container) {
  asked << QString("compression ") + shell::videoExtension(container) + askedBy(owner);
  return compressionAnswer;
}

QMessageBox::StandardButton ScriptedDialogs::ask(QWidget*, const QString& text,
                                                 QMessageBox::StandardButtons) {
  questions << text;
  if (whileAsking) whileAsking();
  return answers.isEmpty() ? QMessageBox::No : answers.takeFirst();
}

void MainWindowTest::openFrame(BuildBackend& backend, const std::filesystem::path& samplesFile) {
  settings_ = temp_.open();
  dialogs_ = {};
  frame_ = std::make_unique<CMainFrame>(*settings_, dialogs_, backend, samplesFile);
  frame_->resize(900, 700);
  frame_->show();
  QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
}

void MainWindowTest::closeFrame() {
  for (CFractal_Doc* doc : frame_->documents()) doc->text()->setModified(false);
  frame_->close();
  frame_.reset();
}

CFractal_Doc* MainWindowTest::newDocument(const QString& script) {
  CFractal_Doc* doc = frame_->newDocument();
  doc->text()->setPlainText(script);
  doc->text()->setModified(false);
  return doc;
}

bool MainWindowTest::buildTo(CFractal_Doc* doc, const QString& status, int timeoutMs) {
  trigger(command::BUILD_FRACTAL);
  return waitFor([&] { return !doc->isBuilding() && doc->statusText() == status; }, timeoutMs);
}

bool MainWindowTest::buildToEnd(CFractal_Doc* doc) {
  trigger(command::BUILD_FRACTAL);
  return waitFor([&] { return !doc->isBuilding(); });
}

void MainWindowTest::trigger(int command) {
  frame_->action(command)->trigger();
}

QString MainWindowTest::log() const {
  return frame_->logBar()->edit()->toPlainText();
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
  return QTest::qWaitFor(done, timeoutMs);
}

QString writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
  return path;
}

}  // namespace app::test
