#include "about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "command_ids.h"
#include "ui_translator.h"

namespace app {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ABOUTBOX");
  setWindowTitle(tr("About Zentarel 3d"));

  auto* icon = new QLabel;
  icon->setPixmap(QPixmap(":/icons/app.png"));
  auto* version = new QLabel("Zentarel 3d Version 1.6.2");
  version->setProperty("controlId", command::ABOUT_DLG_VERSION);
  auto* link = new QLabel(QString("<a href=\"%1\">%1</a>").arg(kWebAddress));
  link->setProperty("controlId", command::URL_LABEL);
  link->setOpenExternalLinks(true);  // the desktop opens it; the cursor becomes a hand
  link->setTextInteractionFlags(Qt::TextBrowserInteraction);
  auto* licence =
      new QLabel(tr("Free software under the GNU General Public License, version 3 "
                    "or later.\nThere is NO WARRANTY, to the extent permitted by law."));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(version);
  text->addWidget(link);
  text->addWidget(licence);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addLayout(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  UiTranslator::translateOnInit(*this);
}

}  // namespace app
