#include "Menu.h"

#include <QMenuBar>
#include <QStringList>

#include "Application.h"
#include "Window.h"
#include "internal/Hold.h"
#include "internal/MenuBridge.h"
#include "internal/QtBridge.h"
#include "internal/Windows.h"

namespace fw {

namespace {

// The platform draws a box only beside a checkable item, with the tick in it when
// checked: once a menu shows a mark, every command in it is checkable, so they all
// look alike and only the checked ones carry the tick.
bool ShowsMarks(const MenuItem& menu) {
  for (int i = 0; i < menu.Count(); ++i)
    if (menu.Item(i)->Checked()) return true;
  return false;
}

void MakeCheckable(const MenuItem& menu) {
  for (int i = 0; i < menu.Count(); ++i)
    if (MenuItem::Impl* impl = menu.Item(i)->impl(); impl && impl->ownAction && !impl->ownAction->isSeparator())
      impl->ownAction->setCheckable(true);
}

}  // namespace

MenuItem::MenuItem(Kind kind) : kind_(kind) {}
MenuItem::~MenuItem() = default;

void MenuItem::SetImpl(std::unique_ptr<Impl> impl) { impl_ = std::move(impl); }

void MenuItem::SetText(std::string_view t) {
  text_ = t;
  if (impl_ && impl_->action) impl_->action->setText(ToQ(t));
  if (impl_ && impl_->menu) impl_->menu->setTitle(ToQ(t));
}

void MenuItem::SetKeyboardShortcut(std::string_view s) {
  shortcut_ = s;
  if (impl_ && impl_->action) impl_->action->setShortcut(menus::ShortcutFor(s));
}

void MenuItem::SetEnabled(bool e) {
  enabled_ = e;
  if (impl_ && impl_->action) impl_->action->setEnabled(e);
}

void MenuItem::SetChecked(bool c) {
  checked_ = c;
  if (impl_ && impl_->action) {
    if (c && parent_) MakeCheckable(*parent_);
    impl_->action->setChecked(c);
  }
}

void MenuItem::Append(std::unique_ptr<MenuItem> item) {
  item->parent_ = this;
  children_.push_back(std::move(item));
}

MenuItem* MenuItem::Child(std::string_view name) const {
  for (auto& c : children_)
    if (c->Name() == name) return c.get();
  return nullptr;
}

namespace menus {

QKeySequence ShortcutFor(std::string_view text) {
  if (text.empty()) return {};
  QStringList parts = ToQ(text).split('+', Qt::SkipEmptyParts);
  if (parts.isEmpty()) return {};
  QString key = parts.takeLast();
  QStringList mods;
  for (const QString& m : parts) {
    QString name = m == "Cmd" ? "Ctrl" : m == "Option" ? "Alt" : m;
    if (!mods.contains(name)) mods << name;  // "Cmd+Cmd+Q" is Ctrl+Q
  }
  mods << key;
  return QKeySequence(mods.join('+'));
}

std::string ShortcutText(std::string_view shortcut) {
  return ShortcutFor(shortcut).toString(QKeySequence::PortableText).toStdString();
}

void Deliver(MenuItem& item) {
  if (item.GetKind() == MenuItem::Kind::Quit) {
    if (Application* app = CurrentApp()) app->Quit();
    return;
  }
  if (Window* target = windows::MenuTarget(item.Name())) target->HandleMenu(item.Name());
}

namespace {

MenuBar* RootOf(MenuItem& item) {
  MenuItem* m = &item;
  while (m->Parent()) m = m->Parent();
  return static_cast<MenuBar*>(m);
}

void Build(MenuItem& item) {
  if (item.impl()) return;
  auto impl = std::make_unique<MenuItem::Impl>();
  if (item.Count() > 0) {
    impl->menu = std::make_unique<QMenu>(ToQ(item.Text()));
    impl->action = impl->menu->menuAction();
    for (int i = 0; i < item.Count(); ++i) {
      MenuItem& child = *item.Item(i);
      Build(child);
      impl->menu->addAction(child.impl()->action);
    }
    // An open menu has the player's mouse: the game holds until it closes.
    QObject::connect(impl->menu.get(), &QMenu::aboutToShow, [&item] {
      hold::Begin();
      RunEnablePass(*RootOf(item));
    });
    QObject::connect(impl->menu.get(), &QMenu::aboutToHide, [] { hold::End(); });
  } else if (item.Text() == "-") {
    impl->ownAction = std::make_unique<QAction>();
    impl->ownAction->setSeparator(true);
    impl->action = impl->ownAction.get();
  } else {
    impl->ownAction = std::make_unique<QAction>(ToQ(item.Text()));
    impl->action = impl->ownAction.get();
    impl->action->setShortcut(ShortcutFor(item.KeyboardShortcut()));
    impl->action->setShortcutContext(Qt::ApplicationShortcut);
    if (item.GetKind() == MenuItem::Kind::Quit) impl->action->setMenuRole(QAction::QuitRole);
    if (item.GetKind() == MenuItem::Kind::AppleMenu) impl->action->setMenuRole(QAction::AboutRole);
    impl->action->setCheckable(item.Parent() && ShowsMarks(*item.Parent()));
    impl->action->setChecked(item.Checked());
    QObject::connect(impl->action, &QAction::triggered, [&item] {
      // The platform toggles a checkable item as it is chosen; its mark is the game's to set.
      item.impl()->action->setChecked(item.Checked());
      Guard([&] { Deliver(item); });
    });
  }
  impl->action->setEnabled(item.Enabled());
  item.SetImpl(std::move(impl));
}

}  // namespace

void Install(MenuBar& bar, QMainWindow& frame) {
  QMenuBar* qbar = frame.menuBar();
  qbar->clear();
  for (int i = 0; i < bar.Count(); ++i) {
    Build(*bar.Item(i));
    qbar->addAction(bar.Item(i)->impl()->action);
  }
  // Shortcuts work without the menu open, so the enabling runs before each key too.
  for (int i = 0; i < bar.Count(); ++i)
    ForEachItem(*bar.Item(i), [&frame](MenuItem& it) {
      if (it.impl() && it.impl()->ownAction) frame.addAction(it.impl()->action);
    });
}

void RunEnablePass(MenuBar& bar) {
  ForEachItem(bar, [](MenuItem& it) { it.SetEnabled(it.GetKind() == MenuItem::Kind::Quit || it.AutoEnable()); });
  // The top menus themselves always open.
  for (int i = 0; i < bar.Count(); ++i) bar.Item(i)->SetEnabled(true);
  for (Window* w : windows::MenuEnablers()) Guard([&] { w->Event_EnableMenuItems(); });
}

}  // namespace menus

}  // namespace fw
