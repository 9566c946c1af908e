#include "platform/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Upper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Val's rules for a signed integer of `bits` bits (32 or 64). Hexadecimal may fill every bit,
// as Val lets it ($FFFFFFFF reads as -1 in 32 bits).
std::optional<int64_t> ParseInteger(std::string_view text, int bits) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  const uint64_t max_positive = bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull;
  const uint64_t limit = base == 16 ? (bits == 32 ? 0xFFFFFFFFull : ~0ull) : max_positive + (negative ? 1 : 0);
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    int d = base == 16 ? HexDigit(text[i]) : ((text[i] >= '0' && text[i] <= '9') ? text[i] - '0' : -1);
    if (d < 0) return std::nullopt;
    if (value > (limit - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return std::nullopt;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  // Modular conversions (defined since C++20) give the two's-complement result Val gives.
  const uint64_t bits_value = negative ? 0 - value : value;
  if (bits == 32) return static_cast<int32_t>(static_cast<uint32_t>(bits_value));
  return static_cast<int64_t>(bits_value);
}

}  // namespace

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = Upper(c);
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

size_t HashIgnoringCase(std::string_view text) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the upper-case bytes
  for (char c : text) {
    hash ^= static_cast<unsigned char>(Upper(c));
    hash *= 1099511628211ull;
  }
  return static_cast<size_t>(hash ^ (hash >> 32));
}

bool ContainsText(std::string_view text, std::string_view part) {
  return UpperCase(text).find(UpperCase(part)) != std::string::npos;
}

std::string Trim(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  const std::string upper_text = UpperCase(text);
  const std::string upper_from = UpperCase(from);
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t hit = upper_text.find(upper_from, pos);
    if (hit == std::string::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::optional<int32_t> StrToInt(std::string_view text) {
  auto v = ParseInteger(text, 32);
  if (!v) return std::nullopt;
  return static_cast<int32_t>(*v);
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) { return StrToInt(text).value_or(fallback); }

std::optional<int64_t> StrToInt64(std::string_view text) { return ParseInteger(text, 64); }

std::optional<double> StrToFloat(std::string_view text, char decimal_separator) {
  std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  for (char& c : t) {
    if (c == decimal_separator) {
      c = '.';
    } else if (c == '.' || c == ',') {
      return std::nullopt;  // only the locale's own separator counts
    }
  }
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string FormatGeneral(double value, int digits, char decimal_separator) {
  if (value == 0 || !std::isfinite(value)) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  // buf is [-]d.ddddde[+-]xx: split into sign, digit string and exponent.
  std::string s(buf);
  bool negative = s[0] == '-';
  if (negative) s.erase(0, 1);
  size_t e = s.find('e');
  int exponent = std::atoi(s.c_str() + e + 1);
  std::string mantissa;
  for (size_t i = 0; i < e; ++i)
    if (s[i] != '.') mantissa += s[i];
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

  std::string out;
  if (exponent >= digits || exponent < -5) {
    out = mantissa.substr(0, 1);
    if (mantissa.size() > 1) out += decimal_separator + mantissa.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    out = "0";
    out += decimal_separator;
    out += std::string(static_cast<size_t>(-exponent - 1), '0') + mantissa;
  } else {
    size_t int_digits = static_cast<size_t>(exponent) + 1;
    if (mantissa.size() <= int_digits) {
      out = mantissa + std::string(int_digits - mantissa.size(), '0');
    } else {
      out = mantissa.substr(0, int_digits) + decimal_separator + mantissa.substr(int_digits);
    }
  }
  return negative ? "-" + out : out;
}

std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string_view>& args) {
  std::string text;
  text.reserve(pattern.size());
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (pattern[i] == '%' && next == '%') {
      text += '%';
      ++i;
    } else if (pattern[i] == '%' && next >= '1' && next <= '9' && static_cast<size_t>(next - '1') < args.size()) {
      text += args[static_cast<size_t>(next - '1')];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

}  // namespace platform
