#include "tools/replay/GameTrace.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "framework/ListBox.h"
#include "framework/MessageDialog.h"
#include "framework/Window.h"
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

// What is there at the start is the baseline, not a write.
FileWatch::FileWatch(std::filesystem::path file) : file_(std::move(file)) { Written(); }

std::optional<std::string> FileWatch::Written() {
  struct stat st {};
  if (::stat(file_.c_str(), &st) != 0) {
    started_ = true;
    seen_ = false;
    return std::nullopt;
  }
  long long mtime = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  std::ifstream in(file_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  std::string bytes = text.str();
  bool written = started_ && (!seen_ || st.st_ino != inode_ || mtime != mtimeNs_ || bytes != bytes_);
  started_ = true;
  seen_ = true;
  inode_ = st.st_ino;
  mtimeNs_ = mtime;
  bytes_ = bytes;
  if (!written) return std::nullopt;
  return bytes;
}

}  // namespace replay
