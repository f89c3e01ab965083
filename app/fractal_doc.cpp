#include "fractal_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cerrno>
#include <cstring>
#include <iostream>

#include "animation_export.h"
#include "build_backend.h"
#include "build_job.h"
#include "command_ids.h"
#include "detached_builds.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "fractal_view.h"
#include "frame_image.h"
#include "log_stream_buffer.h"
#include "memory_budget.h"
#include "mesh_export.h"
#include "script_highlighter.h"
#include "shell/image_file.h"
#include "shell/platform.h"
#include "shell/script_file.h"
#include "user_dialogs.h"

namespace app {

namespace {

int untitledCount = 0;

// Finished tiles reach the image view at most this often while a build runs.
constexpr int kLivePictureIntervalMs = 100;

// Writes the file in full or not at all (the old file stays until the new
// one is complete); empty when done, else why not.
QString writeWhole(const QString& path, const std::string& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
    // A failed write leaves no error text of its own, only the system's.
    const int reason = errno;
    file.cancelWriting();
    return QString::fromLocal8Bit(std::strerror(reason));
  }
  return file.commit() ? QString() : file.errorString();
}

}  // namespace

CFractal_Doc::CFractal_Doc(UserDialogs& dialogs, BuildBackend& backend, QObject* parent)
    : QObject(parent),
      dialogs_(dialogs),
      backend_(backend),
      text_(new QTextDocument(this)),
      title_(QString("Fractal%1").arg(++untitledCount)),
      frameBuffer_(std::make_shared<engine::FrameBuffer>()) {
  text_->setDocumentLayout(new QPlainTextDocumentLayout(text_));
  new ScriptHighlighter(text_);
  connect(text_, &QTextDocument::modificationChanged, this, &CFractal_Doc::titleChanged);
  liveTimer_.setInterval(kLivePictureIntervalMs);
  connect(&liveTimer_, &QTimer::timeout, this, &CFractal_Doc::showLivePicture);
}

CFractal_Doc::~CFractal_Doc() {
  // The frame waits for builds before it closes a document; a build still
  // running here is given up on rather than freed under its thread.
  if (job_) {
    blockSignals(true);
    job_->cancel();
    detachBuild();
  }
}

// ---- Script -----------------------------------------------------------------

void CFractal_Doc::setTitle(const QString& title) {
  title_ = title;
  emit titleChanged();
}

bool CFractal_Doc::isModified() const {
  return text_->isModified();
}

bool CFractal_Doc::load(const QString& path) {
  std::string error;
  const auto script = shell::readScriptFile(path.toStdString(), error);
  loadError_ = QString::fromLocal8Bit(error);
  if (!script) return false;
  replaceScript(script->text);
  if (!script->fromPng) {
    filePath_ = path;
    setTitle(QFileInfo(path).fileName());
    return true;
  }
  // Saving asks for a script name rather than overwriting the picture.
  setTitle(QFileInfo(path).completeBaseName());
  if (script->randomState)
    frameBuffer_->randomState = frameBuffer_->savedRandomState = *script->randomState;
  if (script->size) {
    setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE,
                      QSize(int(script->size->width), int(script->size->height)));
  }
  return true;
}

void CFractal_Doc::replaceScript(const std::string& script) {
  if (!job_) frameBuffer_->scriptText = script;
  markErrorLine(0);
  text_->setPlainText(codec_.toEditor(script));
  text_->setModified(false);
}

void CFractal_Doc::markErrorLine(int line) {
  if (line > 0 ? errorLine() > 0 : errorMark_.isNull()) return;
  const QTextBlock block = text_->findBlockByNumber(line - 1);
  errorMark_ = line > 0 && block.isValid() ? QTextCursor(block) : QTextCursor();
  emit errorLineChanged();
}

int CFractal_Doc::errorLine() const {
  return errorMark_.isNull() ? 0 : errorMark_.blockNumber() + 1;
}

std::string CFractal_Doc::scriptFromEditor() const {
  return codec_.fromEditor(text_->toPlainText());
}

bool CFractal_Doc::save(const QString& path) {
  const std::string script = scriptFromEditor();
  // A running build reads the frame buffer's copy of the text.
  if (!job_) frameBuffer_->scriptText = script;
  saveError_ = writeWhole(path, script);
  if (!saveError_.isEmpty()) return false;
  filePath_ = path;
  setTitle(QFileInfo(path).fileName());
  text_->setModified(false);
  return true;
}

void CFractal_Doc::takeRewrittenScript(const QByteArray& script) {
  putRewrittenScript(script.toStdString(), false);
}

void CFractal_Doc::putRewrittenScript(const std::string& script, bool joinUndo) {
  // A rewritten camera makes the editor differ from the file it came from, so
  // a titled document becomes modified; an untitled one (a sample, a new
  // document) keeps its flag, so it is still reused for the next sample.
  const bool modified = text_->isModified() || !filePath_.isEmpty();
  QTextCursor all(text_);
  if (joinUndo)
    all.joinPreviousEditBlock();
  else
    all.beginEditBlock();
  all.select(QTextCursor::Document);
  all.insertText(codec_.toEditor(script));
  all.endEditBlock();
  text_->setModified(modified);
}

// ---- Build ------------------------------------------------------------------

void CFractal_Doc::build(int previewDivisor, std::function<bool(engine::Fractal&)> exportInstead) {
  if (job_) return;
  markErrorLine(0);
  emit buildStarting();

  engine::FrameBuffer& fb = *frameBuffer_;
  fb.scriptText = scriptFromEditor();
  std::cout << "building: " << title_.toStdString() << std::endl;

  scene_.reset();
  std::unique_ptr<engine::Fractal> scene = backend_.createScene(fb);
  if (!scene) return;
  scene_ = std::move(scene);
  scene_->frameBuffer = &fb;
  scene_->frameExport = std::move(exportInstead);
  if (imageView_ && !fixedImageSize_) setRequestedSize(imageView_->renderSize());
  previewFullSize_.reset();
  if (previewDivisor > 1) {
    previewFullSize_ = requestedSize();
    fb.requestedWidth = std::max(1u, fb.requestedWidth / unsigned(previewDivisor));
    fb.requestedHeight = std::max(1u, fb.requestedHeight / unsigned(previewDivisor));
  }
  // Images are shown at the screen's density, previews blown up to size.
  const double screenDensity =
      imageView_ ? imageView_->devicePixelRatioF() : qGuiApp->devicePixelRatio();
  imageDensity_ = screenDensity / previewDivisor;
  fb.memoryBudget = renderMemoryBudget();
  fb.selectionAllowed = false;
  fb.zoomRequested = selectionShown_;

  // The animation's dialogs belong to the main window.
  const QPointer<QWidget> owner = qobject_cast<QWidget*>(parent());
  job_ = new BuildJob(backend_, frameBuffer_, scene_, animationQuestions(dialogs_, owner), this);
  connect(job_, &BuildJob::statusChanged, this, &CFractal_Doc::setStatusText);
  connect(job_, &BuildJob::scriptRewritten, this, &CFractal_Doc::takeRewrittenScript);
  connect(job_, &BuildJob::frameRendered, this, &CFractal_Doc::showFrame);
  connect(job_, &QThread::finished, this, [this, serial = ++buildSerial_] {
    finishBuild(serial);
    if (queuedCameraBuild_) build(*std::exchange(queuedCameraBuild_, {}));
  });
  // Counted before the thread starts, or its first tiles would pass unseen.
  shownTiles_ = fb.finishedTiles;
  job_->start(QThread::LowPriority);
  liveTimer_.start();
  emit stateChanged();
}

bool CFractal_Doc::buildsOn(const QObject* thread) const {
  return job_ && static_cast<const QObject*>(job_) == thread;
}

void CFractal_Doc::exportMesh(QWidget* owner) {
  if (job_) return;
  if (const std::optional<mesh::ExportRequest> request = askMeshExport(dialogs_, owner))
    build(1, meshExporter(*request));
}

void CFractal_Doc::stop(bool closing) {
  queuedCameraBuild_.reset();
  if (!job_) return;
  if (closing) job_->closing = true;
  job_->interrupted = true;
  job_->cancel();
}

void CFractal_Doc::finishBuild(quint64 serial) {
  if (!job_ || serial != buildSerial_) return;  // already finished by stopAndWait
  BuildJob* job = std::exchange(job_, nullptr);
  job->wait();
  liveTimer_.stop();
  engine::FrameBuffer& fb = *frameBuffer_;
  if (job->succeeded()) fb.showRequested = true;
  fb.selectionAllowed = fb.valid && !fb.depth.empty();
  // A successful build has done the zoom.
  showSelection(selectionShown_ && fb.selectionAllowed && !job->succeeded());
  fb.zoomRequested = selectionShown_;
  if (previewFullSize_) setRequestedSize(*std::exchange(previewFullSize_, {}));
  if (pendingRequestedSize_) setRequestedSize(*std::exchange(pendingRequestedSize_, {}));
  const bool show = job->showsImage();
  delete job;
  if (show) emit showImageRequested();
  emit stateChanged();
}

bool CFractal_Doc::stopAndWait(QWidget* owner, bool allowCancel) {
  constexpr int kWaitSteps = 20;
  constexpr int kWaitStepMs = 100;
  queuedCameraBuild_.reset();
  while (job_) {
    job_->closing = true;
    LogStreamBuffer::stopWait = true;
    job_->cancel();
    for (int i = 0; i < kWaitSteps && job_; ++i) {
      if (job_->wait(kWaitStepMs)) {
        finishBuild(buildSerial_);
      } else {
        job_->cancel();
      }
    }
    if (!job_) break;
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (allowCancel) buttons |= QMessageBox::Cancel;
    const auto answer = dialogs_.ask(
        owner, "The fractal building process seems not responding!\nTerminate it?", buttons);
    if (answer == QMessageBox::Cancel) {
      LogStreamBuffer::stopWait = false;
      std::cout.flush();
      return false;
    }
    // The question's own event loop may have seen the build end.
    if (answer == QMessageBox::Yes && job_) detachBuild();
  }
  LogStreamBuffer::stopWait = false;
  std::cout.flush();
  return true;
}

void CFractal_Doc::detachBuild() {
  disconnect(job_, nullptr, this, nullptr);
  liveTimer_.stop();
  detached_builds::adopt(job_);
  job_ = nullptr;
  // The abandoned build keeps the frame buffer and scene it works on.
  auto fresh = std::make_shared<engine::FrameBuffer>();
  const QSize size = previewFullSize_.value_or(
      QSize(int(frameBuffer_->requestedWidth), int(frameBuffer_->requestedHeight)));
  previewFullSize_.reset();
  fresh->requestedWidth = uint32_t(size.width());
  fresh->requestedHeight = uint32_t(size.height());
  frameBuffer_ = std::move(fresh);
  scene_.reset();
  displayImage_ = {};
  setStatusText("Canceled!");
}

void CFractal_Doc::setStatusText(const QString& status) {
  statusText_ = status;
  emit stateChanged();
}

QString CFractal_Doc::progressPrefix() const {
  const double progress = frameBuffer_->progress;
  if (!job_ || progress < 0.0) return {};
  if (const std::optional<unsigned> frames = job_->animationFrames()) {
    return QString::asprintf("[%4.2f%%, Frame %u] ", progress, *frames);
  }
  return QString::asprintf("[%4.2f%%] ", progress);
}

void CFractal_Doc::showFrame(const QImage& frame) {
  pendingFrame_ = frame;
  frameBuffer_->showRequested = true;
  emit showImageRequested();
}

void CFractal_Doc::showLivePicture() {
  const quint64 tiles = frameBuffer_->finishedTiles;
  if (tiles == shownTiles_) return;
  shownTiles_ = tiles;
  const QImage picture = frameImage(frameBuffer_->copyImage());
  // The first picture of a document opens its image window.
  if (!imageView_) {
    showFrame(picture);
    return;
  }
  setDisplayImage(picture);
  imageView_->imageChanged();
}

void CFractal_Doc::setDisplayImage(QImage image) {
  image.setDevicePixelRatio(imageDensity_);
  displayImage_ = std::move(image);
}

// ---- Image ------------------------------------------------------------------

bool CFractal_Doc::canSaveBitmap() const {
  return !job_ && frameBuffer_->hasImage();
}

void CFractal_Doc::saveBitmapAs(QWidget* owner) {
  if (!canSaveBitmap()) {
    dialogs_.inform(nullptr, QMessageBox::Information, "Build Fractal First!");
    return;
  }
  const QString bmpFilter = "Bitmap Files 24bits (*.bmp)", pngFilter = "PNG Files (*.png)";
  QString chosenFilter = bmpFilter;
  QString path = dialogs_.saveFileName(owner, {}, bmpFilter + ";;" + pngFilter, &chosenFilter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += chosenFilter == pngFilter ? ".png" : ".bmp";
  const bool png = QFileInfo(path).suffix().compare("png", Qt::CaseInsensitive) == 0;
  const std::string failure =
      shell::writeImageFile(*frameBuffer_, shell::pathFromUtf8(path.toStdString()),
                            png ? shell::ImageFileFormat::Png : shell::ImageFileFormat::Bmp);
  if (!failure.empty()) {
    dialogs_.inform(owner, QMessageBox::Warning,
                    QString("Cannot write \"%1\": %2").arg(path, QString::fromStdString(failure)));
  }
}

void CFractal_Doc::updateViews() {
  if (frameBuffer_->showRequested) {
    // While a build runs its frame buffer is being drawn into; its frames
    // arrive as copies.
    setDisplayImage(pendingFrame_.isNull() ? frameImage(*frameBuffer_)
                                           : std::exchange(pendingFrame_, {}));
    frameBuffer_->showRequested = false;
  }
  if (imageView_) imageView_->imageChanged();
}

void CFractal_Doc::discardImage() {
  if (job_) return;
  engine::FrameBuffer& fb = *frameBuffer_;
  fb.bits.clear();
  fb.depth.clear();
  fb.valid = false;
  fb.selectionAllowed = false;
  showSelection(false);
  scene_.reset();
  displayImage_ = {};
  if (imageView_) imageView_->imageChanged();
  emit stateChanged();
}

// ---- Image size -------------------------------------------------------------

void CFractal_Doc::setFixedImageSize(int command, QSize size) {
  setRequestedSize(size);
  imageSizeCommand_ = command;
  fixedImageSize_ = true;
  if (imageView_) imageView_->fitFrameToImageSize(size);
  emit stateChanged();
}

void CFractal_Doc::useWindowSize() {
  imageSizeCommand_ = command::BITMAPSIZE_VARIABLE;
  fixedImageSize_ = false;
  if (imageView_) setRequestedSize(imageView_->renderSize());
  emit stateChanged();
}

QSize CFractal_Doc::requestedSize() const {
  if (pendingRequestedSize_) return *pendingRequestedSize_;
  return QSize(int(frameBuffer_->requestedWidth), int(frameBuffer_->requestedHeight));
}

void CFractal_Doc::setRequestedSize(QSize size) {
  if (job_) {
    pendingRequestedSize_ = size;
    return;
  }
  engine::FrameBuffer& fb = *frameBuffer_;
  fb.requestedWidth = uint32_t(std::max(0, size.width()));
  fb.requestedHeight = uint32_t(std::max(0, size.height()));
  if (selectionShown_ && fb.selectionHalfWidth > 0) {
    fb.setSelection(fb.selectionHalfWidth, 0);
    if (imageView_) imageView_->update();
  }
}

// ---- Camera gestures --------------------------------------------------------

std::optional<CFractal_Doc::BuiltCamera> CFractal_Doc::builtCamera(QString& refusal) const {
  const engine::FrameBuffer& fb = *frameBuffer_;
  if (job_ || !scene_ || !fb.valid) return std::nullopt;
  if (fb.savesFrames) {
    refusal = "An animation script keeps its camera: edit the script to move it";
    return std::nullopt;
  }
  if (!scene_->preparedSets()) return std::nullopt;
  const engine::CameraSettings& camera = scene_->camera;
  return BuiltCamera{{camera.position, camera.direction, camera.verticalDirection},
                     scene_->preparedSets()->boundCenter,
                     camera.fov};
}

size_t CFractal_Doc::cameraStatementOffsetIn(const std::string& script) const {
  return script == frameBuffer_->scriptText ? frameBuffer_->cameraStatementOffset : 0;
}

void CFractal_Doc::buildCamera(bool preview) {
  const int divisor = preview ? kPreviewDivisor : 1;
  if (!job_) {
    build(divisor);
    return;
  }
  // A full picture waiting is not replaced by a preview.
  queuedCameraBuild_ = std::min(divisor, queuedCameraBuild_.value_or(divisor));
}

// ---- Views and selection ----------------------------------------------------

CFractal_View* CFractal_Doc::imageView() const {
  return imageView_;
}

void CFractal_Doc::setImageView(CFractal_View* view) {
  imageView_ = view;
}

void CFractal_Doc::showSelection(bool shown) {
  if (selectionShown_ == shown) return;
  selectionShown_ = shown;
  if (!job_) frameBuffer_->zoomRequested = shown;
  if (imageView_) imageView_->viewport()->update();
}

}  // namespace app
