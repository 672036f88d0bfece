// The one conversion from exact sprite positions to whole pixels.
#pragma once

namespace game {
// Truncates toward zero; the ball's and the bubbles' positions are never negative.
constexpr int ToPixel(double v) { return static_cast<int>(v); }
}  // namespace game
