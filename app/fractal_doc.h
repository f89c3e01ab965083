#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTextCursor>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "command_ids.h"
#include "engine/camera_moves.h"
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
  // Reads a script file into the document, or the scene that a PNG image of
  // the program carries: its script, random state and image size, in an
  // untitled document named after the picture. False when it cannot be read;
  // loadError() says why.
  bool load(const QString& path);
  const QString& loadError() const { return loadError_; }
  // Writes the editor's text unchanged, in full or not at all: a file that
  // cannot be written keeps its old content, the document stays modified and
  // saveError() says why. False then.
  bool save(const QString& path);
  const QString& saveError() const { return saveError_; }
  // Puts a new script into the document as if it were loaded (no file).
  void replaceScript(const std::string& script);
  // The script line (from 1) that the last build failed at, moved with the
  // edits since; 0 for none.
  int errorLine() const;
  // Marks the line of an error the running or last build reported; the
  // first error counts until the next build starts or the script is replaced.
  void markErrorLine(int line);
  // The editor's text in the script's own bytes.
  std::string scriptFromEditor() const;
  // Puts a script rewritten by a camera edit into the editor as one undo
  // step, or as part of the previous one when `joinUndo`.
  void putRewrittenScript(const std::string& script, bool joinUndo);

  // ---- Build ----------------------------------------------------------------

  // A build traces the script's attractor, or, given an export, writes it
  // to a file instead; `previewDivisor` above 1: a quick preview at that
  // fraction of the size.
  void build(int previewDivisor = 1, std::function<bool(engine::Fractal&)> exportInstead = {});
  // File > Export Mesh...: asks for the file and the resolution, then builds.
  void exportMesh(QWidget* owner);
  // Stops a running build; `closing`: the document is about to close, so the
  // build's render error is not printed.
  void stop(bool closing = false);
  bool isBuilding() const { return job_ != nullptr; }
  // Whether `thread` is this document's running build.
  bool buildsOn(const QObject* thread) const;
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
  // Forgets the image of an earlier script (not while a build runs), so no
  // view, save or world point shows it under the new script.
  void discardImage();

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

  // ---- Camera gestures -----------------------------------------------------

  // The camera of the last build and the centre of its attractor.
  struct BuiltCamera {
    engine::CameraPose pose;
    engine::Vec3 centre;
    double fov = 0.0;
  };
  // Nothing while a build runs or without a finished picture; `refusal` then
  // says why when the user should know.
  std::optional<BuiltCamera> builtCamera(QString& refusal) const;
  // Where a camera edit of `script` looks for the camera statement: where the
  // last build met it while the text is still the build's, else from the start.
  size_t cameraStatementOffsetIn(const std::string& script) const;
  // Builds a moved camera: a preview at reduced resolution or the full
  // picture, after the running build when there is one.
  void buildCamera(bool preview);
  static constexpr int kPreviewDivisor = 4;

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
  void errorLineChanged();

 private:
  void setStatusText(const QString& status);
  void takeRewrittenScript(const QByteArray& script);
  void showFrame(const QImage& frame);
  void showLivePicture();
  void setDisplayImage(QImage image);
  void finishBuild(quint64 serial);
  void detachBuild();

  UserDialogs& dialogs_;
  BuildBackend& backend_;
  QTextDocument* text_;
  ScriptCodec codec_;
  QString title_;
  QString filePath_;
  QString saveError_, loadError_;
  QString statusText_;

  std::shared_ptr<engine::FrameBuffer> frameBuffer_;
  std::shared_ptr<engine::Fractal> scene_;
  BuildJob* job_ = nullptr;
  quint64 buildSerial_ = 0;  // tells a build's late end notice from the next build's
  std::optional<QSize> pendingRequestedSize_;
  std::optional<QSize> previewFullSize_;  // the size a running preview stands in for
  std::optional<int>
      queuedCameraBuild_;  // the divisor of a camera build waiting for the running one
  QTimer liveTimer_;       // shows finished tiles while a build renders
  quint64 shownTiles_ = 0;
  double imageDensity_ = 1.0;  // image pixels per interface pixel of the images of this build

  QImage displayImage_;
  QImage pendingFrame_;  // an animation frame handed over by the build, to show next
  QPointer<CFractal_View> imageView_;
  int imageSizeCommand_ = command::BITMAPSIZE_VARIABLE;
  bool fixedImageSize_ = false;
  bool selectionShown_ = false;
  QTextCursor errorMark_;  // at the start of the error line; follows the edits
};

}  // namespace app
