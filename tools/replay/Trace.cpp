#include "tools/replay/Trace.h"

#include "framework/SpriteSurface.h"

namespace replay {

SpriteIds::SpriteIds() : before_(fw::surface_hooks::SpritesMade()) {}

std::int64_t SpriteIds::operator()(const fw::Sprite& s) const {
  return static_cast<std::int64_t>(s.Serial() - before_);
}

void Recorder::Begin(std::int64_t tick) {
  rec_ = TickRecord{};
  rec_.f = tick;
}

void Recorder::OnPair(const fw::Sprite& a, const fw::Sprite& b) {
  rec_.pairs.push_back({ids_(a), a.Group(), ids_(b), b.Group()});
}

std::string TraceLine(const TickRecord& rec, const Json& state, const Json& game) {
  Json line;
  line["f"] = rec.f;
  line["ran"] = rec.ran;
  line["rng"] = Json::array();
  for (const auto& d : rec.rng) line["rng"].push_back(d);
  line["pairs"] = Json::array();
  for (const auto& p : rec.pairs) line["pairs"].push_back(p);
  line["sounds"] = rec.sounds;
  line["state"] = state;
  if (!game.is_null()) line["game"] = game;
  if (!rec.inputs.empty()) line["inputs"] = rec.inputs;
  if (!rec.windows.empty()) line["windows"] = rec.windows;
  if (!rec.dialogs.empty()) line["dialogs"] = rec.dialogs;
  if (rec.runBtnCaption) line["runBtnCaption"] = *rec.runBtnCaption;
  if (!rec.menus.empty()) line["menus"] = rec.menus;
  if (!rec.dataFile.empty()) line["dataFile"] = rec.dataFile;
  // Doubles come out in their shortest form that reads back exactly.
  return line.dump(-1, ' ', false, nlohmann::detail::error_handler_t::replace);
}

}  // namespace replay
