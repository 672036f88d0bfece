// Scripted input for headless runs: the pointer, clicks, keys, menus and close
// boxes, delivered through the same platform events a player's input makes.
#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QToolTip>
#include <QWidget>

#include <map>
#include <string>

#include "framework/Application.h"
#include "framework/Menu.h"
#include "framework/Picture.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"
#include "framework/headless/Driver.h"
#include "framework/internal/KeyState.h"
#include "framework/internal/MenuBridge.h"
#include "framework/internal/Pump.h"
#include "framework/internal/QtBridge.h"
#include "framework/internal/WindowControls.h"
#include "framework/internal/Windows.h"

// Qt's own way into its shortcuts for a key that no platform delivered, as its test
// library declares it: true when a shortcut took the key.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);

namespace fw::test {

namespace {

std::optional<std::pair<int, int>> gMouse;
QPointer<QWidget> gPressed;
QPointer<QWidget> gHovered;

QWidget* TargetAt(Window& w, int x, int y) {
  QWidget* surface = ContentWidget(w);
  QWidget* child = surface->childAt(x, y);
  return child ? child : surface;
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint windowPos, QWidget* surface) {
  QPoint local = target->mapFrom(surface, windowPos);
  QPointF global = surface->mapToGlobal(QPointF(windowPos));
  Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
  Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(local), global, button, held, Qt::NoModifier);
  QApplication::sendEvent(target, &e);
}

void SendKey(Window& w, QEvent::Type type, int keyCode) {
  QWidget* surface = ContentWidget(w);
  QWidget* target = surface->focusWidget() ? surface->focusWidget() : surface;
  int key = keys::PlatformKey(keyCode);
  QString text = key == Qt::Key_Space ? QStringLiteral(" ") : QKeySequence(key).toString().toLower();
  QKeyEvent e(type, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &e);
}

void SendKeyAt(Window& w, QEvent::Type type, int scanCode, std::string_view typed) {
  QWidget* surface = ContentWidget(w);
  QWidget* target = surface->focusWidget() ? surface->focusWidget() : surface;
  QString text = ToQ(typed);
  // A letter's key is its capital, as the platform makes it from the layout's symbol.
  int key = text.isEmpty() ? 0 : text.at(0).toUpper().unicode();
  QKeyEvent e(type, key, Qt::NoModifier, static_cast<quint32>(scanCode), 0, 0, text);
  QApplication::sendEvent(target, &e);
}

}  // namespace

std::optional<std::pair<int, int>> ScriptedMouse() { return gMouse; }

void ForgetInput() {
  gMouse.reset();
  gPressed = nullptr;
  gHovered = nullptr;
}

void SetMouse(int x, int y) { gMouse = std::pair(x, y); }

void PressMouse(Window& w, int x, int y) {
  SetMouse(x, y);
  gPressed = TargetAt(w, x, y);
  SendMouse(gPressed, QEvent::MouseButtonPress, {x, y}, ContentWidget(w));
}

void MoveMouse(Window& w, int x, int y) {
  SetMouse(x, y);
  QWidget* over = TargetAt(w, x, y);
  if (over != gHovered) {
    if (gHovered) {
      QEvent leave(QEvent::Leave);
      QApplication::sendEvent(gHovered, &leave);
    }
    gHovered = over;
    QPointF local = over->mapFrom(ContentWidget(w), QPoint(x, y));
    QEnterEvent enter(local, local, ContentWidget(w)->mapToGlobal(QPointF(x, y)));
    QApplication::sendEvent(over, &enter);
  }
  // While the button is held the pressed widget follows the pointer, as with a real grab.
  SendMouse(gPressed ? gPressed.data() : over, QEvent::MouseMove, {x, y}, ContentWidget(w));
}

void ReleaseMouse(Window& w, int x, int y) {
  SetMouse(x, y);
  QWidget* target = gPressed ? gPressed.data() : TargetAt(w, x, y);
  gPressed = nullptr;
  SendMouse(target, QEvent::MouseButtonRelease, {x, y}, ContentWidget(w));
}

void ClickCloseBox(Window& w) {
  ContentWidget(w)->window()->close();
  pump::ProcessEventsOnce();
}

void DragSize(Window& w, int width, int height) {
  QWidget* content = ContentWidget(w);
  QWidget* frame = content->window();
  frame->resize(width + frame->width() - content->width(), height + frame->height() - content->height());
  pump::ProcessEventsOnce();
}

void TypeKey(Window& w, std::string_view key) {
  static const std::map<std::string_view, Qt::Key> kNamed = {
      {"\r", Qt::Key_Return}, {"\x03", Qt::Key_Enter}, {"\x1b", Qt::Key_Escape},
      {"\x08", Qt::Key_Backspace}, {"\t", Qt::Key_Tab}};
  QString text = ToQ(key);
  int code = 0;
  if (auto it = kNamed.find(key); it != kNamed.end()) code = it->second;
  else if (!text.isEmpty()) code = text.at(0).toUpper().unicode();
  QWidget* surface = ContentWidget(w);
  QPointer<QWidget> target = surface->focusWidget() ? surface->focusWidget() : surface;
  QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  // The key may have closed the window, and a modal window it showed let it be destroyed.
  QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
  if (target) QApplication::sendEvent(target, &release);
  pump::ProcessEventsOnce();
}

void TypeChord(Window& w, std::string_view chord) {
  QKeySequence seq = menus::ShortcutFor(chord);
  if (seq.isEmpty()) return;
  int code = seq[0].key();
  Qt::KeyboardModifiers mods = seq[0].keyboardModifiers();
  // The text X11 gives a letter: a control character with Ctrl, else the letter.
  QString text;
  if (code >= Qt::Key_A && code <= Qt::Key_Z)
    text = mods & Qt::ControlModifier ? QChar(code - Qt::Key_A + 1) : QChar(code).toLower();
  QWidget* surface = ContentWidget(w);
  QPointer<QWidget> target = surface->focusWidget() ? surface->focusWidget() : surface;
  if (!qt_sendShortcutOverrideEvent(target, 0, code, mods, text, false, 1)) {
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(target, &press);
  }
  // The shortcut may have closed the window.
  QKeyEvent release(QEvent::KeyRelease, code, mods, text);
  if (target) QApplication::sendEvent(target, &release);
  // Qt keeps the modifiers it was last told of: the chord's are let go again.
  if (target) qt_sendShortcutOverrideEvent(target, 0, Qt::Key_unknown, Qt::NoModifier, {}, false, 1);
  pump::ProcessEventsOnce();
}

MouseCursor::Shape CursorAt(Window& w, int x, int y) {
  const QCursor* over = QGuiApplication::overrideCursor();
  Qt::CursorShape shape = over ? over->shape() : TargetAt(w, x, y)->cursor().shape();
  switch (shape) {
    case Qt::PointingHandCursor: return MouseCursor::Shape::Finger;
    case Qt::WaitCursor: return MouseCursor::Shape::Wait;
    case Qt::BlankCursor: return MouseCursor::Shape::Hidden;
    default: return MouseCursor::Shape::Standard;
  }
}

std::string HelpTagAt(Window& w, int x, int y) {
  QWidget* target = TargetAt(w, x, y);
  QPoint local = target->mapFrom(ContentWidget(w), QPoint(x, y));
  QHelpEvent e(QEvent::ToolTip, local, target->mapToGlobal(local));
  QApplication::sendEvent(target, &e);
  // A widget without a tip, and every parent it passed the event to, refuses it.
  std::string shown = e.isAccepted() && QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
  QToolTip::hideText();
  return shown;
}

bool IsBlocked(const Window& w) { return windows::BlockedByModal(w); }

namespace {
// The menu bar the player can reach: a modal window blocks those of the windows behind it.
MenuBar* ReachableBar() {
  Window* front = windows::Front();
  bool modal = front && front->IsModal();
  Window* owner = modal ? front : windows::MenuBarOwner();
  MenuBar* bar = owner ? owner->GetMenuBar() : nullptr;
  if (!bar && !modal && CurrentApp()) bar = CurrentApp()->GetMenuBar();
  return bar;
}

MenuItem* ItemNamed(MenuBar& bar, std::string_view name) {
  MenuItem* found = nullptr;
  ForEachItem(bar, [&](MenuItem& it) {
    if (!found && it.Name() == name) found = &it;
  });
  return found;
}
}  // namespace

bool ChooseMenu(std::string_view itemName) {
  MenuBar* bar = ReachableBar();
  if (!bar) return false;
  menus::RunEnablePass(*bar);
  MenuItem* found = ItemNamed(*bar, itemName);
  if (!found || !found->Enabled()) return false;
  for (MenuItem* p = found->Parent(); p && p != bar; p = p->Parent())
    if (!p->Enabled()) return false;
  menus::Deliver(*found);
  pump::ProcessEventsOnce();
  return true;
}

bool ShowMenu(std::string_view menuName, bool shown) {
  MenuBar* bar = ReachableBar();
  MenuItem* found = bar ? ItemNamed(*bar, menuName) : nullptr;
  QMenu* menu = found && found->impl() ? found->impl()->menu.get() : nullptr;
  if (!menu) return false;
  if (shown) {
    menu->popup(QPoint(0, 0));
  } else {
    menu->hide();
  }
  pump::ProcessEventsOnce();
  return true;
}

// The style draws a box only for a checkable action, and the tick in it when checked.
MenuMark MenuMarkOf(const MenuItem& item) {
  QAction* a = item.impl() ? item.impl()->action.data() : nullptr;
  if (!a || !a->isCheckable()) return MenuMark::None;
  return a->isChecked() ? MenuMark::Ticked : MenuMark::Empty;
}

void SetKey(int keyCode, bool down) { keys::Set(keyCode, down); }
void SetOptionKey(std::optional<bool> down) { keys::SetOption(down.value_or(false)); }

void PressKey(Window& w, int keyCode) { SendKey(w, QEvent::KeyPress, keyCode); }
void ReleaseKey(Window& w, int keyCode) { SendKey(w, QEvent::KeyRelease, keyCode); }
void PressKeyAt(Window& w, int scanCode, std::string_view text) {
  SendKeyAt(w, QEvent::KeyPress, scanCode, text);
}
void ReleaseKeyAt(Window& w, int scanCode, std::string_view text) {
  SendKeyAt(w, QEvent::KeyRelease, scanCode, text);
}

// What QApplication does when the platform says that no window of ours has the
// focus any more; the activation of our own windows lands first.
void FocusOtherApplication() {
  pump::ProcessEventsOnce();
  QApplication::setActiveWindow(nullptr);
  pump::ProcessEventsOnce();
}

Ref<Picture> Render(Window& w) {
  QWidget* content = ContentWidget(w);
  QImage img = content->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  auto pic = New<Picture>(img.width(), img.height());
  pic->impl().image = img;
  return pic;
}

ScreenBox FreeScreenArea() {
  QRect r = QGuiApplication::primaryScreen()->availableGeometry();
  return {r.left(), r.top(), r.width(), r.height()};
}

ScreenBox FrameOnScreen(const Window& w) {
  QRect r = ContentWidget(w)->window()->frameGeometry();
  return {r.left(), r.top(), r.width(), r.height()};
}

}  // namespace fw::test
