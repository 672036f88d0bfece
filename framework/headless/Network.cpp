// Routes of the headless platform: tests send a host's requests to a server they run.
#include "framework/TestHooks.h"

#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "framework/headless/Driver.h"

namespace fw {

namespace {

constexpr int kHttpPort = 80;

// Host (lower case) and port.
using Endpoint = std::pair<std::string, int>;
std::map<Endpoint, Endpoint> gRoutes;

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::optional<Endpoint> ParseHostAndPort(std::string_view text) {
  int port = kHttpPort;
  if (auto colon = text.rfind(':'); colon != std::string_view::npos) {
    std::string_view digits = text.substr(colon + 1);
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    text = text.substr(0, colon);
  }
  if (text.empty()) return std::nullopt;
  return Endpoint{Lower(text), port};
}

}  // namespace

namespace http_hooks {

void RouteToLocal(std::string_view host, int localPort) { RouteTo(host, "127.0.0.1", localPort); }

void RouteTo(std::string_view host, std::string_view targetHost, int targetPort) {
  if (auto key = ParseHostAndPort(host)) gRoutes[*key] = Endpoint{Lower(targetHost), targetPort};
}

void ClearRoutes() { gRoutes.clear(); }

}  // namespace http_hooks

namespace test {

std::pair<std::string, int> RoutedTarget(const std::string& host, int port) {
  auto route = gRoutes.find(Endpoint{host, port});
  return route != gRoutes.end() ? route->second : Endpoint{host, port};
}

}  // namespace test

}  // namespace fw
