// The registry of windows: the open ones, the closed ones until they can go, and the
// modal loops that keep them.
#include "Window.h"

#include <QTimer>

#include <algorithm>

#include "internal/Hold.h"
#include "internal/Windows.h"

namespace fw {

namespace windows {
namespace {
struct Entry {
  std::type_index type;
  std::unique_ptr<Window> window;
  bool implicit = true;
};
std::vector<Entry> gOpen;
// A closed window waits here until no handler that may belong to it can still be
// running: one closed by a handler that then shows a modal window stays until that
// modal loop has ended and the handler could return.
struct Closed {
  std::unique_ptr<Window> window;
  int modalDepth = 0;  // modal loops running when it closed
};
std::vector<Closed> gClosed;
bool gOpening = false;
int gModalDepth = 0;
}  // namespace

ModalLoop::ModalLoop() {
  ++gModalDepth;
  hold::Begin();
}
ModalLoop::~ModalLoop() {
  --gModalDepth;
  hold::End();
  if (!gClosed.empty()) QTimer::singleShot(0, [] { DestroyClosed(); });
}

void HoldOpening() { gOpening = false; }
bool OpeningStarted() { return gOpening; }

void StartOpening() {
  gOpening = true;
  for (std::size_t i = 0; i < gOpen.size(); ++i)
    if (!internal::WindowAccess::Opened(*gOpen[i].window)) internal::WindowAccess::OpenNow(*gOpen[i].window);
}

Window* Find(std::type_index type) {
  for (auto& e : gOpen)
    if (e.implicit && e.type == type && e.window->IsOpen()) return e.window.get();
  return nullptr;
}

void Adopt(std::type_index type, std::unique_ptr<Window> w) { gOpen.push_back({type, std::move(w)}); }

Window& Instance(std::type_index type, std::unique_ptr<Window> (*make)()) {
  if (Window* w = Find(type)) return *w;
  std::unique_ptr<Window> owned = make();
  Window& ref = *owned;
  Adopt(type, std::move(owned));
  internal::WindowAccess::OpenNow(ref);
  return ref;
}

Window& Own(std::unique_ptr<Window> w) {
  Window& ref = *w;
  gOpen.push_back({typeid(ref), std::move(w), false});
  internal::WindowAccess::OpenNow(ref);
  return ref;
}

void Release(Window* w) {
  auto it = std::find_if(gOpen.begin(), gOpen.end(), [&](const Entry& e) { return e.window.get() == w; });
  if (it == gOpen.end()) return;
  gClosed.push_back({std::move(it->window), gModalDepth});
  gOpen.erase(it);
  // Destroyed once the handler that closed it has returned.
  QTimer::singleShot(0, [] { DestroyClosed(); });
}

void DestroyClosed() {
  // A window whose ShowModal has not returned yet stays until it has; so does one
  // closed outside the modal loop that runs now.
  std::vector<Closed> keep, gone;
  for (auto& c : gClosed)
    (c.window->IsModal() || c.modalDepth < gModalDepth ? keep : gone).push_back(std::move(c));
  gClosed = std::move(keep);
  gone.clear();
}

void DestroyAll() {
  while (!gOpen.empty()) {
    auto w = std::move(gOpen.back().window);
    gOpen.pop_back();
    w.reset();
  }
  gClosed.clear();
}

std::vector<Window*> All() {
  std::vector<Window*> out;
  for (auto& e : gOpen)
    if (e.window->IsOpen()) out.push_back(e.window.get());
  return out;
}

Window* Front() {
  auto stamp = [](const Window* w) { return internal::WindowAccess::FrontStamp(*w); };
  Window* front = nullptr;
  for (auto& e : gOpen) {
    Window* w = e.window.get();
    if (!w->IsOpen()) continue;
    if (w->IsModal()) {
      if (!front || !front->IsModal() || stamp(w) >= stamp(front)) front = w;
    } else if (w->IsVisible() && (!front || (!front->IsModal() && stamp(w) >= stamp(front)))) {
      front = w;
    }
  }
  return front;
}

Window* MenuBarOwner() {
  for (auto& e : gOpen)
    if (e.window->IsOpen() && e.window->GetMenuBar()) return e.window.get();
  return nullptr;
}

Window* OwnerOfNewWindow(const Window* w) {
  Window* owner = MenuBarOwner();
  return owner == w ? nullptr : owner;
}

}  // namespace windows

}  // namespace fw
