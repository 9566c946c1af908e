#include "platform/unicode.h"

namespace platform {
namespace {

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::optional<char32_t> NextCodePoint(std::string_view text, size_t* at) {
  const auto lead = static_cast<unsigned char>(text[*at]);
  if (lead < 0x80) {
    ++*at;
    return lead;
  }
  size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() - *at < length) return std::nullopt;
  for (size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[*at + i]);
    if ((byte & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (byte & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF) return std::nullopt;
  *at += length;
  return value;
}

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    AppendUtf8(c, &out);
  }
  return out;
}

std::optional<std::u32string> CodePointsOf(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const auto c = NextCodePoint(text, &at);
    if (!c) return std::nullopt;
    out.push_back(*c);
  }
  return out;
}

std::optional<std::u16string> Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    const auto c = NextCodePoint(text, &at);
    if (!c) return std::nullopt;
    if (*c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((*c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((*c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(*c));
    }
  }
  return out;
}

bool IsUtf8(std::string_view text) {
  for (size_t at = 0; at < text.size();)
    if (!NextCodePoint(text, &at)) return false;
  return true;
}

char32_t UpperCaseChar(char32_t c) {
  // Ranges where capitals and small letters alternate, capital first (even) or small first.
  struct Alternating {
    char32_t first, last;
    bool capital_even;
  };
  static constexpr Alternating kAlternating[] = {
      {0x0100, 0x012F, true},  {0x0132, 0x0137, true},  {0x0139, 0x0148, false}, {0x014A, 0x0177, true},
      {0x0179, 0x017E, false}, {0x01CD, 0x01DC, false}, {0x01DE, 0x01EF, true},  {0x01F8, 0x021F, true},
      {0x0222, 0x0233, true},  {0x0246, 0x024F, true},  {0x03D8, 0x03EF, true},  {0x0460, 0x0481, true},
      {0x048A, 0x04BF, true},  {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true},  {0x1E00, 0x1E95, true},
      {0x1EA0, 0x1EFF, true},
  };
  // Ranges of small letters a fixed distance above their capitals.
  struct Shifted {
    char32_t first, last, distance;
  };
  static constexpr Shifted kShifted[] = {
      {0x0061, 0x007A, 0x20}, {0x00E0, 0x00F6, 0x20}, {0x00F8, 0x00FE, 0x20}, {0x03AD, 0x03AF, 0x25},
      {0x03B1, 0x03C1, 0x20}, {0x03C3, 0x03CB, 0x20}, {0x03CD, 0x03CE, 0x3F}, {0x0430, 0x044F, 0x20},
      {0x0450, 0x045F, 0x50}, {0x0561, 0x0586, 0x30}, {0x2170, 0x217F, 0x10}, {0x24D0, 0x24E9, 0x1A},
      {0xFF41, 0xFF5A, 0x20},
  };
  if (c < 0x61) return c;
  for (const Shifted& range : kShifted)
    if (c >= range.first && c <= range.last) return c - range.distance;
  for (const Alternating& range : kAlternating)
    if (c >= range.first && c <= range.last) {
      const bool even = (c & 1) == 0;
      return even == range.capital_even ? c : c - 1;
    }
  switch (c) {
    case 0x00B5:
      return 0x039C;
    case 0x00FF:
      return 0x0178;
    case 0x03AC:
      return 0x0386;
    case 0x03C2:  // final sigma
      return 0x03A3;
    case 0x03CC:
      return 0x038C;
    case 0x04CF:
      return 0x04C0;
    default:
      return c;
  }
}

}  // namespace platform
