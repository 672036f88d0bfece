// The menu tree: menu bar, menus and items, found by name. The window that shows
// the bar turns the tree into the platform's menus.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

class MenuItem {
 public:
  enum class Kind { Plain, Quit, AppleMenu };
  struct Impl;

  explicit MenuItem(Kind kind = Kind::Plain);
  virtual ~MenuItem();
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  Kind GetKind() const { return kind_; }
  const std::string& Name() const { return name_; }
  void SetName(std::string_view n) { name_ = n; }
  const std::string& Text() const { return text_; }
  void SetText(std::string_view t);
  // Modifier names joined by "+" before the key ("Cmd+N"); "Cmd" is Ctrl here.
  const std::string& KeyboardShortcut() const { return shortcut_; }
  void SetKeyboardShortcut(std::string_view s);
  bool AutoEnable() const { return autoEnable_; }
  void SetAutoEnable(bool a) { autoEnable_ = a; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e);
  bool Checked() const { return checked_; }
  void SetChecked(bool c);

  void Append(std::unique_ptr<MenuItem> item);
  // The item of that name directly inside this one, or none.
  MenuItem* Child(std::string_view name) const;
  int Count() const { return static_cast<int>(children_.size()); }
  MenuItem* Item(int i) const { return children_.at(static_cast<std::size_t>(i)).get(); }
  MenuItem* Parent() const { return parent_; }

  Impl* impl() const { return impl_.get(); }
  void SetImpl(std::unique_ptr<Impl> impl);

 private:
  Kind kind_;
  std::string name_, text_, shortcut_;
  bool autoEnable_ = false;
  bool enabled_ = true;
  bool checked_ = false;
  MenuItem* parent_ = nullptr;
  std::vector<std::unique_ptr<MenuItem>> children_;
  std::unique_ptr<Impl> impl_;  // the platform's action, once the item is shown
};

class QuitMenuItem : public MenuItem {
 public:
  QuitMenuItem() : MenuItem(Kind::Quit) {}
};

class AppleMenuItem : public MenuItem {
 public:
  AppleMenuItem() : MenuItem(Kind::AppleMenu) {}
};

// The bar is the root of the tree; its direct children are the top menus.
class MenuBar : public MenuItem {
 public:
  MenuBar() = default;
};

// Calls f on every item below root, depth first in display order.
template <class F>
void ForEachItem(const MenuItem& root, F&& f) {
  for (int i = 0; i < root.Count(); ++i) {
    f(*root.Item(i));
    ForEachItem(*root.Item(i), f);
  }
}

namespace menus {
// Resets each item to its AutoEnable setting (Quit always on, top menus open),
// then lets the front window enable the items it handles.
void RunEnablePass(MenuBar& bar);
// A shortcut as the platform shows it: "Cmd+N" is "Ctrl+N" here.
std::string ShortcutText(std::string_view shortcut);
}  // namespace menus

class FileType {
 public:
  std::string Name, Extensions, MacType, MacCreator;
};

}  // namespace fw
