// The platform side of the menu tree.
#pragma once

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>

#include <memory>

#include "../Menu.h"

namespace fw {

struct MenuItem::Impl {
  QPointer<QAction> action;
  std::unique_ptr<QMenu> menu;  // for an item that has items of its own
  std::unique_ptr<QAction> ownAction;

  ~Impl() {
    // Once the platform is gone its objects cannot be destroyed safely; the
    // process is ending anyway.
    if (!QCoreApplication::instance()) {
      (void)menu.release();
      (void)ownAction.release();
    }
  }
};

namespace menus {
// Shows the bar's menus in the frame; commands go to the front window.
void Install(MenuBar& bar, QMainWindow& frame);
// A chosen item: Quit quits, any other goes to the front window's handler.
void Deliver(MenuItem& item);
// The key sequence for a shortcut text such as "Cmd+N" or "Cmd+Cmd+Q".
QKeySequence ShortcutFor(std::string_view text);
}  // namespace menus

}  // namespace fw
