// Key state for AsyncKeyDown, kept from the key events the application sees.
#include "internal/KeyState.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

#include <set>

#include "Application.h"
#include "Menu.h"
#include "Window.h"
#include "internal/MenuBridge.h"
#include "internal/Windows.h"

namespace fw {

namespace {

std::set<int> gDown;  // classic key codes
bool gOption = false;

struct KeyPair {
  int classic;
  int qt;
  quint32 place;  // the native scan code: an X keycode, evdev's code + 8
};
// The keys the game asks about. They are keys of the keyboard, not letters of a layout:
// P pauses and C shoots under Russian or Dvorak too.
constexpr KeyPair kKeys[] = {{35, Qt::Key_P, 33}, {49, Qt::Key_Space, 65}, {8, Qt::Key_C, 54}};

// By the key's place where the platform reports one; by Qt's key where it does not
// (the offscreen platform, scripted input).
int ClassicCode(const QKeyEvent& k) {
  for (const KeyPair& p : kKeys)
    if (k.nativeScanCode() != 0 ? p.place == k.nativeScanCode() : p.qt == k.key()) return p.classic;
  return -1;
}

// A key released while another application has the focus never reaches us, so
// whatever is held when the focus leaves is let go then.
class KeyFilter : public QObject {
 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(e);
        bool down = e->type() == QEvent::KeyPress;
        if (!k->isAutoRepeat()) {
          if (int code = ClassicCode(*k); code >= 0) keys::Set(code, down);
          if (k->key() == Qt::Key_Alt) keys::SetOption(down);
        }
        break;
      }
      case QEvent::ShortcutOverride:
        if (Window* owner = windows::MenuBarOwner())
          if (MenuBar* bar = owner->GetMenuBar()) menus::RunEnablePass(*bar);
        break;
      case QEvent::ApplicationDeactivate: keys::ReleaseAll(); break;
      // Between two of our windows the new one is already active by now.
      case QEvent::WindowDeactivate:
        if (!QApplication::activeWindow()) keys::ReleaseAll();
        break;
      case QEvent::ApplicationStateChange:
        if (QGuiApplication::applicationState() != Qt::ApplicationActive) keys::ReleaseAll();
        break;
      default: break;
    }
    return QObject::eventFilter(o, e);
  }
};

}  // namespace

namespace keys {

void Set(int keyCode, bool down) {
  if (down) gDown.insert(keyCode);
  else gDown.erase(keyCode);
}

void SetOption(bool down) { gOption = down; }

void ReleaseAll() {
  gDown.clear();
  gOption = false;
}

int PlatformKey(int keyCode) {
  for (const KeyPair& k : kKeys)
    if (k.classic == keyCode) return k.qt;
  return -1;
}

void InstallEventFilter() {
  qApp->installEventFilter(new KeyFilter);
  QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp, [](QWindow* now) {
    if (!now) ReleaseAll();
  });
}

}  // namespace keys

bool AsyncKeyDown(int keyCode) { return gDown.contains(keyCode); }
bool AsyncOptionKey() { return gOption; }

}  // namespace fw
