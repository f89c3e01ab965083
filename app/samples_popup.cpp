#include "samples_popup.h"

#include <QMenu>

#include "script_codec.h"

namespace app {

namespace {

void addItems(QMenu* menu, const std::vector<shell::SamplesMenuItem>& items,
              const std::function<void(int entry)>& choose) {
  using Type = shell::SamplesMenuItem::Type;
  for (const shell::SamplesMenuItem& item : items) {
    // Names are 8-bit text like the scripts that follow them.
    const QString text = ScriptCodec().toEditor(item.text);
    switch (item.type) {
      case Type::Submenu:
        addItems(menu->addMenu(text), item.items, choose);
        break;
      case Type::Separator:
        menu->addSeparator();
        break;
      case Type::Command: {
        QAction* action = menu->addAction(text);
        action->setData(item.command);
        const int entry = item.command - shell::kFirstSampleCommand;
        QObject::connect(action, &QAction::triggered, menu, [choose, entry] { choose(entry); });
        break;
      }
    }
  }
}

}  // namespace

void fillSamplesPopup(QMenu* popup, const std::vector<shell::SamplesMenuItem>& items,
                      const std::function<void(int entry)>& choose) {
  // Submenus are children of the popup; the actions it owns go with clear().
  qDeleteAll(popup->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
  popup->clear();
  addItems(popup, items, choose);
}

}  // namespace app
