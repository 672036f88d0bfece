// A push button with a caption and an Action; a window's default and cancel buttons
// answer Return, Enter and Escape that no key handler took.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "Controls.h"

namespace fw {

class PushButton : public Control {
 public:
  PushButton(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~PushButton() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view c);
  // Return and Enter press the window's enabled default button.
  bool Default() const { return default_; }
  void SetDefault(bool d);
  // Escape presses the window's enabled cancel button.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool c) { cancel_ = c; }
  void SetTextSize(int s);  // pixels; 0 keeps the system's size

  // The owner's handler: a click, or a key that presses the button.
  std::function<void()> Action;

 private:
  friend bool PressButtonForKey(Window& w, const std::string& key);
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
};

}  // namespace fw
