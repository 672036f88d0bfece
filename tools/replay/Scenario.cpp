#include "tools/replay/Scenario.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

namespace replay {

namespace {

using nlohmann::json;

// The first problem found ends the parse; it travels up as this exception and
// leaves ParseScenario as a ScenarioError.
struct Bad {
  std::string message;
};

[[noreturn]] void Fail(std::string message) { throw Bad{std::move(message)}; }

// A whole number within lo..hi; JSON has one number type, so 3.0 is refused as not whole.
std::int64_t Whole(const json& v, const std::string& what, std::int64_t lo, std::int64_t hi) {
  if (!v.is_number_integer()) Fail(what + " must be a whole number");
  const std::string range = what + " must be from " + std::to_string(lo) + " to " + std::to_string(hi);
  // Numbers above the signed range arrive unsigned; they are out of every range here.
  if (v.is_number_unsigned() && v.get<std::uint64_t>() > static_cast<std::uint64_t>(hi)) Fail(range);
  auto n = v.get<std::int64_t>();
  if (n < lo || n > hi) Fail(range);
  return n;
}

std::int64_t TickOf(const json& entry, const std::string& what) {
  return Whole(entry[0], what + " tick", 0, std::numeric_limits<std::int64_t>::max());
}

// An array of fixed-length arrays, e.g. [[tick, x], ...].
const json& Entries(const json& v, const std::string& key, std::size_t width, std::string_view shape) {
  if (!v.is_array()) Fail("\"" + key + "\" must be a list of " + std::string(shape));
  for (std::size_t i = 0; i < v.size(); ++i)
    if (!v[i].is_array() || v[i].size() != width)
      Fail("\"" + key + "\" entry " + std::to_string(i) + " must be " + std::string(shape));
  return v;
}

std::string EntryName(const std::string& key, std::size_t i) { return "\"" + key + "\" entry " + std::to_string(i); }

int KeyCode(const json& v, const std::string& what) {
  static const std::map<std::string, int, std::less<>> kCodes = {{"p", 35}, {"space", 49}, {"c", 8}};
  if (!v.is_string()) Fail(what + " key must be \"p\", \"space\" or \"c\"");
  auto it = kCodes.find(v.get<std::string>());
  if (it == kCodes.end()) Fail(what + " key must be \"p\", \"space\" or \"c\"");
  return it->second;
}

std::string Text(const json& v, const std::string& what) {
  if (!v.is_string() || v.get<std::string>().empty()) Fail(what + " must be a non-empty string");
  return v.get<std::string>();
}

// A calendar day written "YYYY-MM-DD", nothing else.
Day DayOf(const json& v) {
  const std::string form = "\"today\" must be a date written YYYY-MM-DD";
  if (!v.is_string()) Fail(form);
  const std::string text = v.get<std::string>();
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') Fail(form);
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[i] < '0' || text[i] > '9') Fail(form);
  Day d{std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)), std::stoi(text.substr(8, 2))};
  std::chrono::year_month_day ymd{std::chrono::year(d.year), std::chrono::month(static_cast<unsigned>(d.month)),
                                  std::chrono::day(static_cast<unsigned>(d.day))};
  if (d.year < 1 || !ymd.ok()) Fail("\"today\" is no day of the calendar: " + text);
  return d;
}

template <typename T>
void ByTick(std::vector<T>& list) {
  std::stable_sort(list.begin(), list.end(), [](const T& a, const T& b) { return a.tick < b.tick; });
}

Scenario Read(const json& doc) {
  if (!doc.is_object()) Fail("the scenario must be a JSON object");
  static const char* const kKeys[] = {"seed",   "difficulty", "round", "bltCt", "ballCt",  "ticks",
                                      "mouse",  "keys",       "clicks", "snapshots", "menu", "buttons",
                                      "type",   "answers",    "dataFile", "today", "quit"};
  for (const auto& [key, value] : doc.items())
    if (std::find_if(std::begin(kKeys), std::end(kKeys), [&key = key](const char* k) { return key == k; }) == std::end(kKeys))
      Fail("unknown key \"" + key + "\"");
  if (!doc.contains("ticks")) Fail("\"ticks\" is required");

  Scenario s;
  s.ticks = Whole(doc["ticks"], "\"ticks\"", 0, kMaxTicks);
  if (doc.contains("seed"))
    s.seed = static_cast<std::uint32_t>(Whole(doc["seed"], "\"seed\"", 0, std::numeric_limits<std::uint32_t>::max()));
  if (doc.contains("difficulty")) s.difficulty = static_cast<int>(Whole(doc["difficulty"], "\"difficulty\"", 0, 2));
  if (doc.contains("round")) {
    s.round = static_cast<int>(Whole(doc["round"], "\"round\"", 1, 17));
    s.roundGiven = true;
  }
  if (doc.contains("dataFile")) {
    if (doc["dataFile"].is_null()) s.firstRun = true;
    else s.dataFile = std::filesystem::path(Text(doc["dataFile"], "\"dataFile\""));
  }
  if (doc.contains("today")) s.today = DayOf(doc["today"]);
  if (doc.contains("quit")) {
    if (s.ticks == 0) Fail("\"quit\" must come before the last tick");
    s.quit = Whole(doc["quit"], "\"quit\"", 0, s.ticks - 1);
  }
  if (doc.contains("bltCt")) s.bltCt = static_cast<int>(Whole(doc["bltCt"], "\"bltCt\"", 0, kMaxBullets));
  if (doc.contains("ballCt")) s.ballCt = static_cast<int>(Whole(doc["ballCt"], "\"ballCt\"", 0, kMaxBalls));

  if (doc.contains("mouse")) {
    const json& list = Entries(doc["mouse"], "mouse", 2, "[tick, x]");
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string what = EntryName("mouse", i);
      s.mouse.push_back({TickOf(list[i], what),
                         static_cast<int>(Whole(list[i][1], what + " x", -kMaxMouseX, kMaxMouseX))});
    }
  }
  if (doc.contains("keys")) {
    const json& list = Entries(doc["keys"], "keys", 3, "[tick, \"p\" | \"space\" | \"c\", down]");
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string what = EntryName("keys", i);
      if (!list[i][2].is_boolean()) Fail(what + " down must be true or false");
      s.keys.push_back({TickOf(list[i], what), KeyCode(list[i][1], what), list[i][2].get<bool>()});
    }
  }
  if (doc.contains("clicks")) {
    const json& list = Entries(doc["clicks"], "clicks", 2, "[tick, control name]");
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string what = EntryName("clicks", i);
      s.clicks.push_back({TickOf(list[i], what), Text(list[i][1], what + " control name")});
    }
  }
  if (doc.contains("snapshots")) {
    const json& list = Entries(doc["snapshots"], "snapshots", 2, "[tick, file]");
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string what = EntryName("snapshots", i);
      s.snapshots.push_back({TickOf(list[i], what), std::filesystem::path(Text(list[i][1], what + " file"))});
    }
  }
  if (doc.contains("menu")) {
    const json& list = Entries(doc["menu"], "menu", 2, "[tick, item name]");
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string what = EntryName("menu", i);
      s.menu.push_back({TickOf(list[i], what), Text(list[i][1], what + " item name")});
    }
  }
  if (doc.contains("buttons")) {
    const json& list = Entries(doc["buttons"], "buttons", 3, "[tick, window class, control name]");
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string what = EntryName("buttons", i);
      s.buttons.push_back(
          {TickOf(list[i], what), Text(list[i][1], what + " window class"), Text(list[i][2], what + " control name")});
    }
  }
  if (doc.contains("type")) {
    const json& list = Entries(doc["type"], "type", 2, "[tick, text]");
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::string what = EntryName("type", i);
      s.typed.push_back({TickOf(list[i], what), Text(list[i][1], what + " text")});
    }
  }
  if (doc.contains("answers")) {
    const json& list = doc["answers"];
    if (!list.is_array()) Fail("\"answers\" must be a list of button captions");
    for (std::size_t i = 0; i < list.size(); ++i) s.answers.push_back(Text(list[i], EntryName("answers", i)));
  }
  ByTick(s.menu);
  ByTick(s.buttons);
  ByTick(s.typed);
  ByTick(s.mouse);
  ByTick(s.keys);
  ByTick(s.clicks);
  ByTick(s.snapshots);
  return s;
}

std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

}  // namespace

ParsedScenario ParseScenario(std::string_view text) {
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::exception& e) {
    return ScenarioError{OneLine(std::string("not JSON: ") + e.what())};
  }
  try {
    return Read(doc);
  } catch (const Bad& bad) {
    return ScenarioError{OneLine(bad.message)};
  }
}

ParsedScenario LoadScenario(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::error_code ec;
  if (!in || std::filesystem::is_directory(file, ec)) return ScenarioError{"cannot read " + file.string()};
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return ScenarioError{"cannot read " + file.string()};
  return ParseScenario(text.str());
}

}  // namespace replay
