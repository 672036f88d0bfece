// Menu commands and menu enabling: which window each goes to.
#include "Window.h"

#include "Application.h"
#include "internal/Windows.h"

namespace fw {

void Window::AddMenuHandler(std::string_view itemName, std::function<bool()> handler) {
  menuHandlers_[std::string(itemName)] = std::move(handler);
}

bool Window::HandleMenu(std::string_view itemName) {
  auto it = menuHandlers_.find(itemName);
  if (it == menuHandlers_.end()) return false;
  Guard([&] { it->second(); });
  return true;
}

namespace windows {

Window* MenuTarget(std::string_view item) {
  Window* front = Front();
  if (front && (front->IsModal() || internal::WindowAccess::HasMenuHandler(*front, item))) return front;
  return MenuBarOwner();
}

std::vector<Window*> MenuEnablers() {
  Window* front = Front();
  if (front && front->IsModal()) return {front};
  std::vector<Window*> out;
  if (Window* owner = MenuBarOwner()) out.push_back(owner);
  if (front && (out.empty() || out.front() != front)) out.push_back(front);
  return out;
}

}  // namespace windows

}  // namespace fw
