// A check box with a caption; its Action runs whenever its value changes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "Controls.h"

namespace fw {

class CheckBox : public Control {
 public:
  CheckBox(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~CheckBox() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view c);
  // Ticked.
  bool Value() const;
  void SetValue(bool v);
  void SetTextSize(int s);  // pixels; 0 keeps the system's size

  // The owner's handler: the value changed, by a click or by SetValue.
  std::function<void()> Action;

 private:
  std::string caption_;
};

}  // namespace fw
