#include "ui_translator.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>

#include "shell/system_language.h"

namespace app {

namespace {

const UiTranslator* currentTranslator = nullptr;

constexpr int kOkButtonId = 1;
constexpr int kCancelButtonId = 2;

int controlIdOf(QWidget* control) {
  const QVariant id = control->property("controlId");
  if (id.isValid()) return id.toInt();
  auto* box = qobject_cast<QDialogButtonBox*>(control->parentWidget());
  auto* button = qobject_cast<QAbstractButton*>(control);
  if (!box || !button) return 0;
  switch (box->standardButton(button)) {
    case QDialogButtonBox::Ok:
      return kOkButtonId;
    case QDialogButtonBox::Cancel:
      return kCancelButtonId;
    default:
      return 0;
  }
}

// Push buttons and labels that show text; pictures keep their place.
bool showsTranslatableText(QWidget* control) {
  if (qobject_cast<QPushButton*>(control)) return true;
  auto* label = qobject_cast<QLabel*>(control);
  return label && label->pixmap().isNull();
}

void setControlText(QWidget* control, const QString& text) {
  if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  }
}

}  // namespace

UiTranslator::UiTranslator(const std::filesystem::path& directory) {
  file_.load(directory);
  currentTranslator = this;
}

UiTranslator::~UiTranslator() {
  if (currentTranslator == this) currentTranslator = nullptr;
}

std::unique_ptr<UiTranslator> UiTranslator::forSystem(const std::filesystem::path& directory) {
  if (!shell::systemAsksForRussian()) return nullptr;
  return std::make_unique<UiTranslator>(directory);
}

const UiTranslator* UiTranslator::current() {
  return currentTranslator;
}

void UiTranslator::translateMenuBar(const QList<QMenu*>& menus,
                                    std::span<const std::string_view> names) const {
  for (qsizetype i = 0; i < menus.size() && i < qsizetype(names.size()); ++i) {
    QMenu* menu = menus[i];
    const std::string_view name = names[i];
    if (const auto title = file_.find("MENU." + std::string(name))) menu->setTitle(decode(*title));
    // The Samples menu lists the samples file.
    if (name == "SAMPLES") continue;
    if (name == "BUILD" && !menu->actions().isEmpty()) {
      if (QMenu* imageSize = menu->actions().first()->menu()) {
        if (const auto title = file_.find("MENU.BUILD_IMAGE_SIZE")) {
          imageSize->setTitle(decode(*title));
        }
        translateItems(imageSize);
      }
    }
    translateItems(menu);
  }
}

void UiTranslator::translateItems(QMenu* menu) const {
  for (QAction* action : menu->actions()) {
    const int id = action->data().toInt();
    if (action->isSeparator() || action->menu() || id <= 0) continue;
    action->setText(decode(file_.menuItemText(id, encode(action->text()))));
  }
}

void UiTranslator::translateDialog(QDialog& dialog) const {
  const std::string name = dialog.objectName().toStdString();
  if (const auto caption = file_.find(name + ".CAPTION")) dialog.setWindowTitle(decode(*caption));
  for (QWidget* control : dialog.findChildren<QWidget*>()) {
    if (!showsTranslatableText(control)) continue;
    const int id = controlIdOf(control);
    if (id == 0 || id == -1) continue;
    if (const auto text = file_.dialogItemText(name, id)) setControlText(control, decode(*text));
  }
}

void UiTranslator::translateOnInit(QDialog& dialog) {
  if (currentTranslator) currentTranslator->translateDialog(dialog);
}

#ifdef _WIN32
QString UiTranslator::decode(const std::string& text) {
  QStringDecoder codePage("windows-1251");
  return codePage.decode(QByteArrayView(text.data(), qsizetype(text.size())));
}

std::string UiTranslator::encode(const QString& text) {
  QStringEncoder codePage("windows-1251");
  return QByteArray(codePage.encode(text)).toStdString();
}
#else
QString UiTranslator::decode(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string UiTranslator::encode(const QString& text) {
  return text.toUtf8().toStdString();
}
#endif

}  // namespace app
