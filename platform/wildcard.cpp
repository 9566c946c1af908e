#include "platform/wildcard.h"

#include <optional>
#include <string>

#include "platform/text.h"
#include "platform/unicode.h"

namespace platform {
namespace {

// Capitals of every character, one code point at a time; text that is not UTF-8 (it never comes
// from the disk so) is compared byte by byte with ASCII letters capitalised.
std::u32string Capitals(std::string_view text) {
  std::optional<std::u32string> points = CodePointsOf(text);
  if (!points) {
    points.emplace();
    for (unsigned char c : UpperCase(text)) points->push_back(c);
    return *points;
  }
  for (char32_t& c : *points) c = UpperCaseChar(c);
  return *points;
}

}  // namespace

bool WildcardMatches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return false;
  if (pattern == "*" || pattern == "*.*") return true;
  const std::u32string t = Capitals(pattern);
  const std::u32string n = Capitals(name);
  // Left to right, going back to the last "*" on a mismatch: linear in practice, and never
  // exponential however many stars the template holds.
  size_t ti = 0, ni = 0, star = std::u32string::npos, resume = 0;
  while (ni < n.size()) {
    if (ti < t.size() && (t[ti] == U'?' || t[ti] == n[ni])) {
      ++ti;
      ++ni;
    } else if (ti < t.size() && t[ti] == U'*') {
      star = ti++;
      resume = ni;
    } else if (star != std::u32string::npos) {
      ti = star + 1;
      ni = ++resume;
    } else {
      return false;
    }
  }
  while (ti < t.size() && t[ti] == U'*') ++ti;
  if (ti + 2 == t.size() && t[ti] == U'.' && t[ti + 1] == U'*') return true;
  return ti == t.size();
}

}  // namespace platform
