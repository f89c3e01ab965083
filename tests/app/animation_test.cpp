#include <filesystem>
#include <tuple>

#include "shell/video_writer.h"
#include "test_support.h"

using namespace app;

namespace {

const QString kFileQuestion =
    "save fractal Avi Files (*.avi);;MP4 Video (*.mp4);;Matroska Video (*.mkv);;"
    "WebM Video (*.webm);;All Files (*.*) by app::CMainFrame";

}  // namespace

// Scripts that save frames, with the fake backend: the dialogs are answered
// by the test.
class AnimationTest : public test::MainWindowTest {
  Q_OBJECT

  CFractal_Doc* newDocument(const QString& script) {
    CFractal_Doc* doc = MainWindowTest::newDocument(script);
    doc->setFixedImageSize(command::BITMAPSIZE_CUSTOM_SIZE, QSize(66, 48));
    dialogs_.fileName = files_.filePath("movie.avi");
    return doc;
  }
  // The log after the last "building: " line, once it ends with `expected`.
  bool lastBuildLogEnds(const QString& expected) {
    return test::waitFor(
        [&] { return log().mid(log().lastIndexOf("building: ")).endsWith(expected); });
  }

 private slots:
  void init() {
    backend_.runs = 0;
    QFile::remove(files_.filePath("movie.avi"));
    openFrame();
    dialogs_.compressionAnswer = VideoCompression{"rawvideo", 75};
  }
  void cleanup() {
    closeFrame();
    detached_builds::waitForAll();
  }

  // The file and its compression are asked in order, on the interface
  // thread, owned by the main window. The file type chosen in the save
  // dialog, else the name typed, gives the container (.avi when the name has
  // no extension) and so the codecs offered; the frames go in with the codec
  // chosen.
  void framesGoIntoTheChosenFileWithTheChosenCodec() {
    // {file type chosen, name typed, file written, codec, probed}
    const std::tuple<QString, QString, QString, std::string, std::string> cases[] = {
        {"", "movie", "movie.avi", "mjpeg", "mjpeg"},
        {"WebM Video (*.webm)", "movie", "movie.webm", "libvpx-vp9", "vp9"},
        {"", "typed.mkv", "typed.mkv", "libx264", "h264"},
    };
    for (const auto& [filter, typed, file, codec, probed] : cases) {
      CFractal_Doc* doc = newDocument("save_frame");
      dialogs_.asked.clear();
      dialogs_.chosenFilter = filter;
      dialogs_.fileName = files_.filePath(typed);
      dialogs_.compressionAnswer = VideoCompression{codec, 90};
      QVERIFY(buildTo(doc, "Ready"));
      QCOMPARE(dialogs_.asked, QStringList({kFileQuestion, "compression ." + file.section('.', -1) +
                                                               " by app::CMainFrame"}));
      QCOMPARE(doc->displayImage().size(), QSize(66, 48));
      const std::string movie = files_.filePath(file).toStdString();
      QVERIFY2(std::filesystem::exists(movie), movie.c_str());
      if (shell::testing::haveFfmpegTools())
        QCOMPARE(shell::testing::probeVideo(movie), probed + ",66,48,15/1,2");
    }
  }

  // Cancelling the file dialog ends the build silently; the other failures
  // end it with their message; a frame of a failed render is refused.
  void animationsThatCannotBeWritten() {
    CFractal_Doc* doc = newDocument("grey");
    QVERIFY(buildToEnd(doc));
    doc->text()->setPlainText("save_frame");
    dialogs_.fileName.clear();
    QVERIFY(buildToEnd(doc));
    QCOMPARE(dialogs_.asked, QStringList{kFileQuestion});
    QCOMPARE(doc->statusText(), QString("Ready"));  // unchanged
    QTest::qWait(50);
    QVERIFY(log().endsWith("\nbuilding: " + doc->title()));

    dialogs_.fileName = files_.filePath("movie.avi");
    dialogs_.compressionAnswer.reset();
    QVERIFY(buildToEnd(doc));
    QVERIFY(lastBuildLogEnds("\nCan't create avi stream to save animation"));
    QVERIFY(!QFile::exists(dialogs_.fileName));
    dialogs_.fileName = files_.filePath("missing/movie.avi");
    dialogs_.compressionAnswer = VideoCompression{"rawvideo", 75};
    QVERIFY(buildToEnd(doc));
    QVERIFY(lastBuildLogEnds(QString("\n") + shell::kCantOpenVideoFile));
    QCOMPARE(backend_.runs.load(), 1);

    dialogs_.fileName = files_.filePath("void.avi");
    doc->text()->setPlainText("save_frame void");
    QVERIFY(buildToEnd(doc));
    QCOMPARE(doc->statusText(), QString("Error"));
    QVERIFY(test::waitFor([&] {
      return log().contains("building: " + doc->title() + "\nerror: line 1:1: can't save frame");
    }));
    if (!std::filesystem::exists("/dev/full")) QSKIP("no /dev/full");
    doc->text()->setPlainText("save_frame");
    dialogs_.fileName = files_.filePath("full.avi");
    QVERIFY(QFile::link("/dev/full", dialogs_.fileName));
    QVERIFY(buildToEnd(doc));
    QVERIFY(test::waitFor([&] {
      return log().contains(QString("\n") + shell::kCantWriteFrame +
                            "\nerror: line 1:1: can't save frame\nfinished: ");
    }));
  }

  void theProgressCountsTheFramesWritten() {
    CFractal_Doc* doc = newDocument("save_frame endless");
    trigger(command::BUILD_FRACTAL);
    QVERIFY(test::waitFor(
        [&] { return frame_->statusBar()->currentMessage() == "[12.50%, Frame 2] Building..."; }));
    doc->stop();
    QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    QCOMPARE(doc->progressPrefix(), QString());
  }

  // A stop while the file dialog is open drops its late answer, and so does
  // closing the window before the question shows: no file, no run.
  void aBuildStoppedBeforeTheAnswerWritesNothing() {
    CFractal_Doc* doc = newDocument("save_frame");
    dialogs_.whileAsking = [&] {
      doc->stop();
      QVERIFY(test::waitFor([&] { return !doc->isBuilding(); }));
    };
    QVERIFY(buildToEnd(doc));
    QCOMPARE(dialogs_.asked, QStringList{kFileQuestion});
    QVERIFY(!QFile::exists(dialogs_.fileName));

    dialogs_ = {};
    newDocument("save_frame");
    trigger(command::BUILD_FRACTAL);
    QVERIFY(frame_->close());  // waits for the build, which gives up its question
    QTest::qWait(50);
    QVERIFY(dialogs_.asked.isEmpty());
    QCOMPARE(backend_.runs.load(), 0);
  }
};

QTEST_MAIN(AnimationTest)
#include "animation_test.moc"
