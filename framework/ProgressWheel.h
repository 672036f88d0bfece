// A spinning wheel for work of unknown length; it turns while it is visible.
#pragma once

#include <string_view>

#include "Controls.h"

namespace fw {

class ProgressWheel : public Control {
 public:
  ProgressWheel(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~ProgressWheel() override;
};

}  // namespace fw
