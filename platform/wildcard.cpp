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

// Left to right, going back to the last "*" on a mismatch: linear in practice, and never
// exponential however many stars the template holds. Both texts are capitals already.
template <typename Text>
bool Matches(const Text& t, const Text& n) {
  using Char = typename Text::value_type;
  constexpr size_t kNone = Text::npos;
  size_t ti = 0, ni = 0, star = kNone, resume = 0;
  while (ni < n.size()) {
    if (ti < t.size() && (t[ti] == Char('?') || t[ti] == n[ni])) {
      ++ti;
      ++ni;
    } else if (ti < t.size() && t[ti] == Char('*')) {
      star = ti++;
      resume = ni;
    } else if (star != kNone) {
      ti = star + 1;
      ni = ++resume;
    } else {
      return false;
    }
  }
  while (ti < t.size() && t[ti] == Char('*')) ++ti;
  if (ti + 2 == t.size() && t[ti] == Char('.') && t[ti + 1] == Char('*')) return true;
  return ti == t.size();
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

char AsciiCapital(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool WildcardMatches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return false;
  if (pattern == "*" || pattern == "*.*") return true;
  // Nearly every name on a disk is ASCII, whose capitals are its own: a scan matches each entry
  // against each rule, and this spares it the decoding into code points.
  if (IsAscii(pattern) && IsAscii(name)) {
    char t[256], n[256];
    if (pattern.size() <= sizeof t && name.size() <= sizeof n) {
      for (size_t i = 0; i < pattern.size(); ++i) t[i] = AsciiCapital(pattern[i]);
      for (size_t i = 0; i < name.size(); ++i) n[i] = AsciiCapital(name[i]);
      return Matches(std::string_view(t, pattern.size()), std::string_view(n, name.size()));
    }
  }
  return Matches(Capitals(pattern), Capitals(name));
}

}  // namespace platform
