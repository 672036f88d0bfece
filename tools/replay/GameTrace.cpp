#include "tools/replay/GameTrace.h"

#include <fstream>
#include <sstream>

#include "framework/ListBox.h"
#include "framework/Menu.h"
#include "framework/MessageDialog.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"
#include "game/GameScrn.h"
#include "shell/globals.h"
#include "tools/replay/Stepper.h"

namespace replay {

namespace {
// Elements of a control array share a name; the index tells them apart.
std::string ControlKey(const fw::Control& c) {
  return c.Index() < 0 ? c.Name() : c.Name() + "(" + std::to_string(c.Index()) + ")";
}
}  // namespace

Json DescribeWindow(const fw::Window& w) {
  Json j;
  j["class"] = ClassName(w);
  j["title"] = w.Title();
  Json labels = Json::object(), fields = Json::object(), rows = Json::object();
  for (const fw::Control* c : w.Controls()) {
    if (auto* t = dynamic_cast<const fw::StaticText*>(c)) {
      labels[ControlKey(*c)] = t->Text();
    } else if (auto* f = dynamic_cast<const fw::EditField*>(c)) {
      fields[ControlKey(*c)] = f->Text();
    } else if (auto* l = dynamic_cast<const fw::ListBox*>(c)) {
      Json list = Json::array();
      for (int r = 0; r < l->ListCount(); ++r) {
        Json row = Json::array();
        for (int col = 0; col < l->ColumnCount(); ++col) row.push_back(l->Cell(r, col));
        list.push_back(std::move(row));
      }
      rows[ControlKey(*c)] = std::move(list);
    }
  }
  j["labels"] = std::move(labels);
  j["fields"] = std::move(fields);
  j["rows"] = std::move(rows);
  return j;
}

Json DescribeDialog(const fw::MessageDialog& d) {
  Json j;
  j["message"] = d.Message;
  j["explanation"] = d.Explanation;
  Json buttons = Json::array();
  for (const auto* b : {&d.ActionButton, &d.AlternateActionButton, &d.CancelButton})
    if (b->Visible) buttons.push_back(b->Caption);
  j["buttons"] = std::move(buttons);
  return j;
}

Json SampleGame() {
  Json g;
  g["gCurPlayer"] = globals::gCurPlayer;
  g["gTotScore"] = globals::gTotScore;
  g["FameList"] = globals::FameList;
  Json saved;
  saved["isSavedGame"] = savedInfo::isSavedGame;
  saved["svRound"] = savedInfo::svRound;
  saved["svTotScore"] = savedInfo::svTotScore;
  saved["svBltCt"] = savedInfo::svBltCt;
  saved["svBallCt"] = savedInfo::svBallCt;
  saved["svDiffLev"] = savedInfo::svDiffLev;
  g["savedInfo"] = std::move(saved);
  return g;
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
  }
  return out;
}

DataWrites::DataWrites(std::filesystem::path file) : file_(std::move(file)), seen_(fw::test::FilesWritten()) {}

std::optional<std::string> DataWrites::Written() {
  std::uint64_t now = fw::test::FilesWritten();
  if (now == seen_) return std::nullopt;
  seen_ = now;
  std::ifstream in(file_, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::optional<std::string> ShownStates::RunCaption(const GameScrn* w) {
  if (!w || (caption_ && *caption_ == w->runBtn.getTitle())) return std::nullopt;
  caption_ = w->runBtn.getTitle();
  return caption_;
}

Json ShownStates::MenuChanges() {
  Json changed = Json::object();
  fw::MenuBar* bar = ShownMenuBar();
  if (!bar) return changed;
  bool blocked = MenusBlocked();
  if (!blocked) fw::menus::RunEnablePass(*bar);
  fw::ForEachItem(*bar, [&](const fw::MenuItem& it) {
    auto known = items_.find(it.Name());
    if (it.Name().empty() || (blocked && known == items_.end())) return;
    Item now{blocked ? known->second.enabled : it.Enabled(), it.Checked()};
    if (known != items_.end() && known->second.enabled == now.enabled && known->second.checked == now.checked) return;
    items_[it.Name()] = now;
    Json j;
    j["enabled"] = now.enabled;
    j["checked"] = now.checked;
    changed[it.Name()] = std::move(j);
  });
  return changed;
}

}  // namespace replay
