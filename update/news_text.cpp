#include "update/news_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "platform/unicode.h"

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, size_t at, std::string_view word) {
  if (at + word.size() > text.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (Lower(text[at + i]) != word[i]) return false;
  return true;
}

// The position after the closing tag of `name` from `from` on (the rest of the text when it is
// never closed: a page cut short must not show its script as text).
size_t AfterClosing(std::string_view html, size_t from, std::string_view name) {
  for (size_t at = html.find('<', from); at != std::string_view::npos; at = html.find('<', at + 1)) {
    if (at + 1 < html.size() && html[at + 1] == '/' && StartsWithNoCase(html, at + 2, name)) {
      size_t end = html.find('>', at);
      return end == std::string_view::npos ? html.size() : end + 1;
    }
  }
  return html.size();
}

// The lower-case name of the tag that starts at html[at] == '<', without a leading '/'.
std::string TagName(std::string_view html, size_t at) {
  size_t i = at + 1;
  if (i < html.size() && html[i] == '/') ++i;
  std::string name;
  while (i < html.size() && std::isalnum(static_cast<unsigned char>(html[i]))) name += Lower(html[i++]);
  return name;
}

bool StartsLine(const std::string& tag) {
  static constexpr std::string_view kBlocks[] = {"br", "p",  "div", "li", "tr", "h1",    "h2",         "h3",
                                                 "h4", "h5", "h6",  "ul", "ol", "table", "blockquote", "hr"};
  return std::find(std::begin(kBlocks), std::end(kBlocks), tag) != std::end(kBlocks);
}

void AppendCodePoint(std::string& out, unsigned long code) {
  if (code == 0xA0) code = ' ';
  // Texts are UTF-8; a reference to no character (or to half of a UTF-16 pair) shows as U+FFFD.
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  const std::u16string units = code >= 0x10000
                                   ? std::u16string{static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)),
                                                    static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF))}
                                   : std::u16string(1, static_cast<char16_t>(code));
  out += platform::Utf8FromUtf16(units);
}

// Decodes the reference at html[at] == '&'; returns the position after it, or at + 1 with a
// plain '&' appended when it is none that is known.
size_t DecodeEntity(std::string_view html, size_t at, std::string& out) {
  size_t semi = html.find(';', at);
  if (semi == std::string_view::npos || semi - at > 10) {
    out += '&';
    return at + 1;
  }
  std::string_view name = html.substr(at + 1, semi - at - 1);
  if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    std::string digits(name.substr(hex ? 2 : 1));
    char* end = nullptr;
    unsigned long code = digits.empty() ? 0 : std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
    if (!digits.empty() && end && *end == '\0') {
      AppendCodePoint(out, code);
      return semi + 1;
    }
  }
  static constexpr std::pair<std::string_view, unsigned long> kNamed[] = {
      {"amp", '&'},    {"lt", '<'},    {"gt", '>'},    {"quot", '"'},    {"apos", '\''},
      {"nbsp", 0xA0},  {"copy", 0xA9}, {"reg", 0xAE},  {"euro", 0x20AC}, {"laquo", 0xAB},
      {"raquo", 0xBB}, {"uuml", 0xFC}, {"ouml", 0xF6}, {"auml", 0xE4},   {"eacute", 0xE9}};
  for (const auto& [entity, code] : kNamed) {
    if (name == entity) {
      AppendCodePoint(out, code);
      return semi + 1;
    }
  }
  out += '&';
  return at + 1;
}

// Collapses blanks within lines, trims each line and keeps at most one empty line in a row.
std::string Tidy(const std::string& raw) {
  std::string out;
  std::string line;
  bool blank_pending = false;
  auto flush = [&] {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (line.empty()) {
      blank_pending = !out.empty();
    } else {
      if (!out.empty()) out += blank_pending ? "\n\n" : "\n";
      out += line;
      blank_pending = false;
    }
    line.clear();
  };
  for (char c : raw) {
    if (c == '\n') {
      flush();
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += c;
    }
  }
  flush();
  return out;
}

std::string LatinToUtf8(std::string_view text) {
  std::u16string units(text.begin(), text.end());
  for (size_t i = 0; i < text.size(); ++i) units[i] = static_cast<unsigned char>(text[i]);
  return platform::Utf8FromUtf16(units);
}

}  // namespace

std::string NewsText(const std::string& page) {
  // A page that is not UTF-8 is taken as Latin-1, which every byte is.
  const std::string utf8 = platform::IsUtf8(page) ? page : LatinToUtf8(page);
  std::string_view html(utf8);
  std::string raw;
  size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<') {
      if (html.compare(i, 4, "<!--") == 0) {
        size_t end = html.find("-->", i + 4);
        i = end == std::string_view::npos ? html.size() : end + 3;
        continue;
      }
      const std::string tag = TagName(html, i);
      if (tag.empty() && !(i + 1 < html.size() && (html[i + 1] == '!' || html[i + 1] == '?' || html[i + 1] == '/'))) {
        raw += '<';  // a lone '<' in text
        ++i;
        continue;
      }
      const bool closing = i + 1 < html.size() && html[i + 1] == '/';
      size_t end = html.find('>', i);
      size_t after = end == std::string_view::npos ? html.size() : end + 1;
      if (!closing && (tag == "script" || tag == "style" || tag == "head" || tag == "title"))
        after = AfterClosing(html, after, tag);
      if (!closing && StartsLine(tag)) raw += '\n';
      const bool heading = tag.size() == 2 && tag[0] == 'h' && tag[1] >= '1' && tag[1] <= '6';
      if (closing && (tag == "p" || heading)) raw += "\n\n";
      i = after;
    } else if (c == '&') {
      i = DecodeEntity(html, i, raw);
    } else {
      // Line breaks of the source are blanks; only the elements break lines.
      raw += c == '\n' ? ' ' : c;
      ++i;
    }
  }
  return Tidy(raw);
}
