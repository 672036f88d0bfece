// What the play window's files share: the tuning they have in common and the
// small helpers that reach the running application.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "framework/Application.h"
#include "framework/MessageDialog.h"
#include "shell/app.h"

namespace game::scrn {

inline constexpr int kStartPadWidth = 64;    // pixels
inline constexpr int kPadGroup = -2;
inline constexpr int kGameOverRound = 18;    // the internal round after the last one
inline constexpr std::string_view kPlayingPrompt = "<p> to pause game";

inline fw::Application* CurApp() { return fw::CurrentApp(); }

// The game's application object, when it is the one running (tests may run a bare one).
inline app* TheApp() { return dynamic_cast<app*>(CurApp()); }

inline void MarkDirty() {
  if (app* a = TheApp()) a->isDirty = true;
}

inline void SetPointer(const fw::MouseCursor* c) {
  if (fw::Application* a = CurApp()) a->SetMouseCursor(c);
}

// A question to the player: icon 1, the action button and the cancel button.
inline fw::MessageDialog Question(std::string message, std::string explanation, std::string action) {
  fw::MessageDialog d;
  d.Icon = 1;
  d.Message = std::move(message);
  d.Explanation = std::move(explanation);
  d.ActionButton.Caption = std::move(action);
  d.CancelButton.Visible = true;
  return d;
}

}  // namespace game::scrn
