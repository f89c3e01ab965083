#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <filesystem>

#include "app/animation_export.h"
#include "app/command_ids.h"
#include "app/detached_builds.h"
#include "app/fractal_doc.h"
#include "app/fractal_view.h"
#include "app/main_frame.h"
#include "app/video_compression_dialog.h"
#include "engine/fractal.h"
#include "engine/frame_buffer.h"
#include "shell/video_writer.h"
#include "test_support.h"

using namespace app;

namespace {

const QString kFileQuestion = "save fractal Avi Files (*.avi);;All Files (*.*) by app::CMainFrame";
const QString kCompressionQuestion = "compression by app::CMainFrame";

void drawFrame(engine::FrameBuffer& fb, uint8_t grey) {
  fb.width = fb.requestedWidth;
  fb.height = fb.requestedHeight;
  fb.bitsPerPixel = 24;
  fb.stride = (fb.width * 3 + 3) / 4 * 4;
  fb.bits.assign(std::size_t(fb.stride) * fb.height, grey);
  fb.valid = true;
}

}  // namespace

// Scripts that save frames, with the fake backend: the dialogs are answered
// by the test.
class AnimationTest : public test::MainWindowTest {
  Q_OBJECT

  test::FakeBackend backend_;
  std::unique_ptr<QTemporaryDir> dir_;

  CFractal_Doc* newDocument(const QString& script) {
    CFractal_Doc* doc = MainWindowTest::newDocument(script);
    doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(66, 48));
    return doc;
  }
  bool buildToEnd(CFractal_Doc* doc) {
    frame_->action(command::BUILD_FRACTAL)->trigger();
    return test::waitFor([&] { return !doc->isBuilding(); });
  }
  // The log after the last "building: " line.
  QString lastBuildLog() const {
    const QString text = log();
    return text.mid(text.lastIndexOf("building: "));
  }

 private slots:
  void init() {
    backend_.runs = 0;
    dir_ = std::make_unique<QTemporaryDir>();
    openFrame(backend_);
    dialogs_.compressionAnswer = VideoCompression{"rawvideo", 75};
  }
  void cleanup() {
    closeFrame();
    detached_builds::waitForAll();
  }

  void framesGoIntoTheChosenFileAtTheScriptRate() {
    CFractal_Doc* doc = newDocument("save_frame");
    dialogs_.fileName = dir_->filePath("movie");  // the extension is added
    QVERIFY(buildToEnd(doc));
    QCOMPARE(doc->statusText(), QString("Ready"));
    // Asked in order, on the interface thread, owned by the main window.
    QCOMPARE(dialogs_.asked, QStringList({kFileQuestion, kCompressionQuestion}));
    const QString movie = dir_->filePath("movie.avi");
    // Two frames of 66 x 48: rows of 200 bytes (198 padded to 4).
    QVERIFY(QFile(movie).size() > 2 * 200 * 48);
    QVERIFY(doc->imageView());
    QCOMPARE(doc->displayImage().size(), QSize(66, 48));

    const auto probed = test::probeVideo(movie);
    if (!probed) QSKIP("ffprobe not installed");
    QCOMPARE(*probed,
             QStringList({"codec_name=rawvideo", "r_frame_rate=15/1", "nb_read_frames=2"}));

    doc->text()->setPlainText("save_frame fps(25)");
    dialogs_.compressionAnswer = VideoCompression{"mjpeg", 90};
    QVERIFY(buildToEnd(doc));
    QCOMPARE(*test::probeVideo(movie),
             QStringList({"codec_name=mjpeg", "r_frame_rate=25/1", "nb_read_frames=2"}));
  }

  void cancellingTheFileDialogEndsTheBuildSilently() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildToEnd(doc));
    doc->text()->setPlainText("save_frame");
    QVERIFY(buildToEnd(doc));
    QCOMPARE(dialogs_.asked, QStringList{kFileQuestion});
    QCOMPARE(backend_.runs.load(), 1);
    QCOMPARE(doc->statusText(), QString("Ready"));  // unchanged
    QVERIFY(test::waitFor([&] { return lastBuildLog().startsWith("building: "); }));
    QTest::qWait(50);
    QCOMPARE(lastBuildLog(), "building: " + doc->title());
  }

  void cancellingTheCompressionEndsTheBuildWithAMessage() {
    CFractal_Doc* doc = newDocument("save_frame");
    dialogs_.fileName = dir_->filePath("movie.avi");
    dialogs_.compressionAnswer.reset();
    QVERIFY(buildToEnd(doc));
    QCOMPARE(dialogs_.asked, QStringList({kFileQuestion, kCompressionQuestion}));
    QVERIFY(test::waitFor([&] {
      return lastBuildLog() ==
             "building: " + doc->title() + "\nCan't create avi stream to save animation";
    }));
    QCOMPARE(backend_.runs.load(), 0);
    QCOMPARE(doc->statusText(), QString());
    QVERIFY(!QFile::exists(dir_->filePath("movie.avi")));
  }

  void aFileThatCannotBeCreatedEndsTheBuildWithAMessage() {
    CFractal_Doc* doc = newDocument("save_frame");
    dialogs_.fileName = dir_->filePath("missing/movie.avi");
    QVERIFY(buildToEnd(doc));
    QVERIFY(test::waitFor([&] {
      return lastBuildLog().endsWith(
          "\nCan't open avi file to save animation\nMay be Video For Windows library is broken");
    }));
    QCOMPARE(backend_.runs.load(), 0);
  }

  void aFrameThatCannotBeWrittenStopsTheScript() {
    if (!std::filesystem::exists("/dev/full")) QSKIP("no /dev/full");
    CFractal_Doc* doc = newDocument("save_frame");
    dialogs_.fileName = dir_->filePath("full.avi");
    QVERIFY(QFile::link("/dev/full", dialogs_.fileName));
    QVERIFY(buildToEnd(doc));
    QCOMPARE(doc->statusText(), QString("Error"));
    QVERIFY(test::waitFor([&] {
      return lastBuildLog().contains(
          "\nCan't write frame to avi file\nMay be the selected codec driver is broken\n"
          "or disk is full\nerror: line 1:1: can't save frame\nfinished: ");
    }));
  }

  void theProgressCountsTheFramesWritten() {
    CFractal_Doc* doc = newDocument("save_frame endless");
    dialogs_.fileName = dir_->filePath("movie.avi");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    QVERIFY(test::waitFor(
        [&] { return frame_->statusBar()->currentMessage() == "[12.50%, Frame 2] Building..."; }));
    frame_->setWindowState(Qt::WindowMinimized);
    QVERIFY(test::waitFor(
        [&] { return frame_->windowTitle() == "[12.50%, Frame 2] " + doc->title(); }));
    frame_->setWindowState(Qt::WindowNoState);
    doc->stop();
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->progressPrefix(), QString());
    const auto probed = test::probeVideo(dialogs_.fileName);
    if (probed) QVERIFY(probed->contains("nb_read_frames=2"));  // closed at the end
  }

  void aStopWhileTheFileDialogIsOpenEndsTheBuild() {
    CFractal_Doc* doc = newDocument("save_frame");
    dialogs_.fileName = dir_->filePath("movie.avi");
    dialogs_.whileAsking = [&] {
      doc->stop();
      QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    };
    QVERIFY(buildToEnd(doc));
    // The late answer is dropped: no compression asked, no file, no run.
    QCOMPARE(dialogs_.asked, QStringList{kFileQuestion});
    QVERIFY(!QFile::exists(dialogs_.fileName));
    QCOMPARE(backend_.runs.load(), 0);
  }

  void closingTheWindowBeforeTheQuestionShowsDropsIt() {
    CFractal_Doc* doc = newDocument("save_frame");
    dialogs_.fileName = dir_->filePath("movie.avi");
    frame_->action(command::BUILD_FRACTAL)->trigger();
    QVERIFY(doc->isBuilding());
    QVERIFY(frame_->close());  // waits for the build, which gives up its question
    QTest::qWait(50);
    QVERIFY(dialogs_.asked.isEmpty());
    QCOMPARE(backend_.runs.load(), 0);
  }

  void theCompressionDialogOffersTheWritersCodecs() {
    VideoCompressionDialog dialog;
    auto* codecs = dialog.findChild<QComboBox*>();
    auto* quality = dialog.findChild<QSlider*>();
    const std::vector<shell::VideoCodecInfo> available = shell::availableVideoCodecs();
    QCOMPARE(codecs->count(), int(available.size()));
    QCOMPARE(dialog.compression().codec, std::string("rawvideo"));
    QVERIFY(!quality->isEnabled());
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (label->text().contains('&')) QVERIFY2(label->buddy(), qPrintable(label->text()));
    }
    for (int i = 0; i < codecs->count(); ++i) {
      codecs->setCurrentIndex(i);
      QCOMPARE(codecs->currentText(), QString::fromStdString(available[i].description));
      QCOMPARE(quality->isEnabled(), available[i].takesQuality);
    }
    const auto mjpeg = std::find_if(available.begin(), available.end(),
                                    [](const auto& codec) { return codec.name == "mjpeg"; });
    if (mjpeg == available.end()) return;
    codecs->setCurrentIndex(int(mjpeg - available.begin()));
    quality->setValue(40);
    QCOMPARE(dialog.compression().codec, std::string("mjpeg"));
    QCOMPARE(dialog.compression().quality, 40);
  }

  void theFrameSinkRefusesFramesOfAFailedOrCanceledScene() {
    engine::FrameBuffer fb;
    fb.requestedWidth = 8;
    fb.requestedHeight = 6;
    std::unique_ptr<engine::Fractal> scene = engine::createFractal(0);
    AnimationExport animation;
    QList<QImage> shown;
    QVERIFY(!animation.framesWritten());
    QVERIFY(animation.open(dir_->filePath("sink.avi"), {"rawvideo", 75}, fb, *scene,
                           [&](const QImage& frame) { shown << frame; }));
    QCOMPARE(animation.framesWritten(), std::optional<unsigned>(0));
    drawFrame(fb, 0x40);
    QVERIFY(fb.frameSink(fb));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().pixel(0, 0), qRgb(0x40, 0x40, 0x40));
    scene->renderError = "Set is void";
    QVERIFY(!fb.frameSink(fb));
    scene->renderError.clear();
    scene->canceled = true;
    QVERIFY(!fb.frameSink(fb));
    QCOMPARE(shown.size(), 1);
    QCOMPARE(animation.framesWritten(), std::optional<unsigned>(1));
    animation.close(fb);
    QVERIFY(!fb.frameSink);
    QVERIFY(!animation.framesWritten());
  }
};

QTEST_MAIN(AnimationTest)
#include "animation_test.moc"
