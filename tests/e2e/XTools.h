// What the tests that play the real game on a virtual display share: files read
// whole, the X tools they run and the values those tools print.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace e2e {

inline const std::string kExe = std::string(ZEMBO_APP_DIR) + "/bin/zembo";
inline constexpr auto kStep = std::chrono::seconds(20);  // the longest any one wait may take
inline constexpr int kCommandSeconds = 10;                 // each X tool run is cut off after this

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The value after "name=" up to the next space or line end in text.
inline std::string ValueOf(const std::string& text, const std::string& name) {
  auto at = text.find(name + "=");
  if (at == std::string::npos) return {};
  at += name.size() + 1;
  return text.substr(at, text.find_first_of(" \n", at) - at);
}

// Runs an X tool on the display, cut off after the seconds given; its standard
// output, or none when it failed.
inline std::optional<std::string> RunOn(const std::string& display, const std::string& auth, int seconds,
                                        const std::string& command) {
  std::string line = "DISPLAY=" + display + " XAUTHORITY=" + auth + " timeout " + std::to_string(seconds) + " " +
                     command + " 2>/dev/null";
  FILE* p = ::popen(line.c_str(), "r");
  if (!p) return std::nullopt;
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  if (::pclose(p) != 0) return std::nullopt;
  return out;
}

}  // namespace e2e
