#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "command_ids.h"
#include "script_codec.h"

class QTextDocument;

namespace engine {
class Fractal;
class FrameBuffer;
}  // namespace engine

namespace app {

class BuildBackend;
class BuildJob;
class CFractal_View;
class UserDialogs;

// The document of one scene script: its text (shared by its editor views),
// the frame buffer with the image, the scene of the last build, and the
// build that may be running on a worker thread.
class CFractal_Doc : public QObject {
  Q_OBJECT
 public:
  CFractal_Doc(UserDialogs& dialogs, BuildBackend& backend, QObject* parent = nullptr);
  ~CFractal_Doc() override;

  // ---- Script ---------------------------------------------------------------

  QTextDocument* text() const { return text_; }
  const QString& title() const { return title_; }
  void setTitle(const QString& title);
  const QString& filePath() const { return filePath_; }
  bool isModified() const;
  // Reads a script file into the document; false when it cannot be read.
  bool load(const QString& path);
  // Writes the editor's text unchanged, in full or not at all: a file that
  // cannot be written keeps its old content, the document stays modified and
  // saveError() says why. False then.
  bool save(const QString& path);
  const QString& saveError() const { return saveError_; }
  // Puts a new script into the document as if it were loaded (no file).
  void replaceScript(const std::string& script);

  // ---- Build ----------------------------------------------------------------

  // A build traces the script's attractor, or, given an export, writes it
  // to a file instead.
  void build(std::function<bool(engine::Fractal&)> exportInstead = {});
  // File > Export Mesh...: asks for the file and the resolution, then builds.
  void exportMesh(QWidget* owner);
  // Stops a running build; `closing`: the document is about to close, so the
  // build's render error is not printed.
  void stop(bool closing = false);
  bool isBuilding() const { return job_ != nullptr; }
  // Stops a running build and waits for it. When it does not end, the user is
  // asked whether to give up on it; false when the user chose Cancel.
  bool stopAndWait(QWidget* owner, bool allowCancel);
  const QString& statusText() const { return statusText_; }
  // "[12.50%] " while a build runs and reports progress ("[12.50%, Frame 3] "
  // while it writes an animation), else empty.
  QString progressPrefix() const;

  // ---- Image ----------------------------------------------------------------

  engine::FrameBuffer& frameBuffer() { return *frameBuffer_; }
  const engine::Fractal* scene() const { return scene_.get(); }
  // The image drawn by the views, taken from the frame buffer after a build.
  const QImage& displayImage() const { return displayImage_; }
  bool canSaveBitmap() const;
  void saveBitmapAs(QWidget* owner);
  // Rebuilds the display image when a new one was requested.
  void updateViews();

  // ---- Image size -----------------------------------------------------------

  int imageSizeCommand() const { return imageSizeCommand_; }
  bool fixedImageSize() const { return fixedImageSize_; }
  // A fixed or custom size (`command` is the size command that chose it).
  void setFixedImageSize(int command, QSize size);
  // "Use Window Size": the image view's client area gives the size.
  void useWindowSize();
  QSize requestedSize() const;
  // Sets the size of the next image; while a build runs it takes effect when
  // the build has ended. A shown selection is fitted to the new shape.
  void setRequestedSize(QSize size);

  // ---- Views and selection --------------------------------------------------

  CFractal_View* imageView() const;
  void setImageView(CFractal_View* view);
  // Shows or hides the zoom selection; a shown selection is zoomed into by
  // the next build. The frame buffer learns of it when no build reads it.
  void showSelection(bool shown);
  bool selectionShown() const { return selectionShown_; }

 signals:
  // Status text, build state or image changed: titles and commands follow.
  void stateChanged();
  void titleChanged();
  // A build is about to start: the log scrolls to its end.
  void buildStarting();
  // A build produced a new image to show.
  void showImageRequested();

 private:
  void setStatusText(const QString& status);
  void takeRewrittenScript(const QByteArray& script);
  void showFrame(const QImage& frame);
  void finishBuild(quint64 serial);
  void detachBuild();
  std::string scriptFromEditor() const;

  UserDialogs& dialogs_;
  BuildBackend& backend_;
  QTextDocument* text_;
  ScriptCodec codec_;
  QString title_;
  QString filePath_;
  QString saveError_;
  QString statusText_;

  std::shared_ptr<engine::FrameBuffer> frameBuffer_;
  std::shared_ptr<engine::Fractal> scene_;
  BuildJob* job_ = nullptr;
  quint64 buildSerial_ = 0;  // tells a build's late end notice from the next build's
  std::optional<QSize> pendingRequestedSize_;

  QImage displayImage_;
  QImage pendingFrame_;  // an animation frame handed over by the build, to show next
  QPointer<CFractal_View> imageView_;
  int imageSizeCommand_ = command::BITMAPSIZE_VARIABLE;
  bool fixedImageSize_ = false;
  bool selectionShown_ = false;
};

}  // namespace app
