#include "TestHooks.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <map>
#include <stdexcept>

#include "Application.h"
#include "Clock.h"
#include "Menu.h"
#include "Picture.h"
#include "Window.h"
#include "internal/MenuBridge.h"
#include "internal/Paint.h"
#include "internal/Pump.h"
#include "internal/QtBridge.h"
#include "internal/Windows.h"

namespace fw::test {

namespace {

std::optional<std::pair<int, int>> gMouse;
std::map<int, bool> gKeys;
std::optional<bool> gOption;
std::function<void(Window&)> gModalAnswer;
std::function<void(Window&)> gShownObserver;
std::function<MessageDialog::Pressed(const MessageDialog&)> gDialogAnswer;
std::vector<MessageDialog> gDialogs;
std::vector<std::string> gURLs;
std::vector<std::string> gUnhandled;
std::optional<std::filesystem::path> gResources;
QPointer<QWidget> gPressed;
QPointer<QWidget> gHovered;

constexpr std::int64_t kModalLimitMs = 60LL * 60 * 1000;  // an hour of game time: a modal nobody closes

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

}  // namespace

void Advance(std::int64_t ms) { AdvanceUs(ms * kUsPerMs); }

void AdvanceUs(std::int64_t us) {
  std::int64_t target = NowUs() + std::max<std::int64_t>(us, 0);
  for (;;) {
    pump::ProcessEventsOnce();
    pump::RunDue();
    paint::FlushPending();
    pump::ProcessEventsOnce();
    std::int64_t now = NowUs();
    if (now >= target) break;
    std::int64_t next = pump::NextDue();
    if (next < 0 || next > target) next = target;
    if (next <= now) next = now + 1;
    clock_hooks::SetManualNowUs(next);
  }
}

bool RunUntil(const std::function<bool()>& pred, std::int64_t limitMs) {
  std::int64_t end = NowMs() + limitMs;
  while (!pred()) {
    if (NowMs() >= end) return false;
    Advance(1);
  }
  return true;
}

void Reset() {
  windows::DestroyAll();
  pump::ProcessEventsOnce();
  gMouse.reset();
  gKeys.clear();
  gOption.reset();
  gModalAnswer = nullptr;
  gShownObserver = nullptr;
  gDialogAnswer = nullptr;
  gDialogs.clear();
  gURLs.clear();
  gUnhandled.clear();
  gResources.reset();
  windows::StartOpening();
}

void SetMouse(int x, int y) { gMouse = std::pair(x, y); }
std::optional<std::pair<int, int>> ScriptedMouse() { return gMouse; }

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

bool ChooseMenu(std::string_view itemName) {
  Window* front = windows::Front();
  MenuBar* bar = front ? front->GetMenuBar() : nullptr;
  if (!bar && CurrentApp()) bar = CurrentApp()->GetMenuBar();
  if (!bar) return false;
  menus::RunEnablePass(*bar);
  MenuItem* found = nullptr;
  ForEachItem(*bar, [&](MenuItem& it) {
    if (!found && it.Name() == itemName) found = &it;
  });
  if (!found || !found->Enabled()) return false;
  for (MenuItem* p = found->Parent(); p && p != bar; p = p->Parent())
    if (!p->Enabled()) return false;
  menus::Deliver(*found);
  pump::ProcessEventsOnce();
  return true;
}

void SetKey(int code, bool down) { gKeys[code] = down; }
std::optional<bool> ScriptedKey(int code) {
  auto it = gKeys.find(code);
  if (it == gKeys.end()) return std::nullopt;
  return it->second;
}
void SetOptionKey(std::optional<bool> down) { gOption = down; }
std::optional<bool> ScriptedOptionKey() { return gOption; }

void OnModal(std::function<void(Window&)> answer) { gModalAnswer = std::move(answer); }

void RunModal(Window& w) {
  pump::ProcessEventsOnce();
  if (gModalAnswer && w.IsOpen()) {
    auto answer = gModalAnswer;
    answer(w);
  }
  std::int64_t end = NowMs() + kModalLimitMs;
  while (w.IsOpen()) {
    if (NowMs() >= end) throw std::runtime_error("a modal window was never closed");
    Advance(1);
  }
}

void OnDialog(std::function<MessageDialog::Pressed(const MessageDialog&)> answer) {
  gDialogAnswer = std::move(answer);
}

MessageDialog::Pressed AnswerDialog(const MessageDialog& d) {
  gDialogs.push_back(d);
  return gDialogAnswer ? gDialogAnswer(d) : MessageDialog::Pressed::None;
}

const std::vector<MessageDialog>& DialogsShown() { return gDialogs; }

void RecordURL(std::string url) { gURLs.push_back(std::move(url)); }
const std::vector<std::string>& ShownURLs() { return gURLs; }
void RecordUnhandled(std::string what) { gUnhandled.push_back(std::move(what)); }
const std::vector<std::string>& UnhandledReports() { return gUnhandled; }

Ref<Picture> Render(Window& w) {
  QWidget* content = ContentWidget(w);
  QImage img = content->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  auto pic = New<Picture>(img.width(), img.height());
  pic->impl().image = img;
  return pic;
}

void OnShown(std::function<void(Window&)> observer) { gShownObserver = std::move(observer); }
void NoteShown(Window& w) {
  if (gShownObserver) gShownObserver(w);
}

void SetResourcesFolder(std::optional<std::filesystem::path> folder) { gResources = std::move(folder); }
std::optional<std::filesystem::path> ResourcesFolderOverride() { return gResources; }

}  // namespace fw::test
