#include "app/frame_image.h"
#include "shell/image_file.h"
#include "test_support.h"

using namespace app;

class DocumentTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private slots:
  // Bytes that are not UTF-8 survive a load and a save; every saved line,
  // however long, ends in "\r\n".
  void documentsKeepTheBytesOfTheirFiles() {
    test::ScriptedDialogs dialogs;
    test::FakeBackend backend;
    CFractal_Doc doc(dialogs, backend);
    const struct {
      QByteArray file;
      QString editor;
      std::string saved;
    } cases[] = {
        {"// caf\xE9\r\nbuild T;\nlast", QString::fromLatin1("// caf\xE9\nbuild T;\nlast\n"),
         "// caf\xE9\r\nbuild T;\r\nlast\r\n"},
        {"echo(\"\xD0\xB4\");\r\n", QString::fromUtf8("echo(\"\xD0\xB4\");\n"),
         "echo(\"\xD0\xB4\");\r\n"},
        {QByteArray(5000, 'x') + "\n;", QString(5000, 'x') + "\n;\n",
         std::string(5000, 'x') + "\r\n;\r\n"},
    };
    for (const auto& c : cases) {
      QVERIFY(doc.load(test::writeFile(dir_.filePath("scene.ifs"), c.file)));
      QCOMPARE(doc.text()->toPlainText(), c.editor);
      QVERIFY(doc.save(dir_.filePath("copy.ifs")));
      QCOMPARE(test::readFile(dir_.filePath("copy.ifs").toStdString()), c.saved);
    }
    QCOMPARE(doc.title(), QString("copy.ifs"));
  }

  // A picture of the program opens as an untitled document with its scene:
  // saving asks for a script name instead of overwriting the picture.
  void picturesOpenWithTheirScene() {
    test::ScriptedDialogs dialogs;
    test::FakeBackend backend;
    engine::FrameBuffer shot;
    shot.resizeImage(7, 5, 24);
    shot.scriptText = "build T;\r\n";
    shot.savedRandomState = engine::RandomState::fromValue(123456789);
    const QString png = dir_.filePath("shot.png");
    QCOMPARE(shell::writeImageFile(shot, QFile::encodeName(png).toStdString(),
                                   shell::ImageFileFormat::Png),
             std::string());
    CFractal_Doc doc(dialogs, backend);
    QVERIFY(doc.load(png));
    QCOMPARE(doc.text()->toPlainText(), QString("build T;\n"));
    QCOMPARE(doc.title(), QString("shot"));
    QVERIFY(doc.filePath().isEmpty());
    QCOMPARE(doc.requestedSize(), QSize(7, 5));
    QVERIFY(doc.frameBuffer().randomState == shot.savedRandomState);

    CFractal_Doc other(dialogs, backend);
    QVERIFY(!other.load(test::writeFile(
        dir_.filePath("cut.png"),
        QByteArray::fromStdString(test::readFile(png.toStdString()).substr(0, 50)))));
    QCOMPARE(other.loadError(), QString("not a PNG file"));
  }

  // Frames are bottom-up blue-green-red with padded rows.
  void frameImageTurnsBottomUpBgrIntoAnImage() {
    engine::FrameBuffer fb;
    QVERIFY(frameImage(fb).isNull());
    fb.width = fb.height = 2;
    fb.bitsPerPixel = 24;
    fb.stride = 8;
    fb.bits = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0, 0};
    const QImage image = frameImage(fb);
    QCOMPARE(
        QList<QRgb>({image.pixel(0, 0), image.pixel(1, 0), image.pixel(0, 1), image.pixel(1, 1)}),
        QList<QRgb>(
            {qRgb(0, 0xFF, 0), qRgb(0xFF, 0xFF, 0xFF), qRgb(0, 0, 0xFF), qRgb(0xFF, 0, 0)}));
  }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
