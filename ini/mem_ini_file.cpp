#include "ini/mem_ini_file.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/exception.h"
#include "platform/text.h"
#include "platform/unicode.h"

namespace {

// One stored line of a section: a key line (name "=" value) or a line without "=", kept as read.
struct Line {
  bool is_key = false;
  std::string name;  // the key name, or the whole text of a line without "="
  std::string value;
};

// CR and LF would end the line early and let the rest be read as further keys or sections; NUL
// would end the whole text. Each becomes a blank, so what is read back is what was written.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  return text;
}

// A name or value that the ANSI code page cannot hold is stored as this mark followed by its UTF-8
// bytes, each byte from 0x80 up, every control byte and "%" written as "%XX"; so is a text that
// itself starts with the mark, so that every stored text reads back as it was written. ASCII in
// it stays readable: "UTF-8:C:\%E7%85%A7%E7%89%87".
constexpr std::string_view kEscapeMark = "UTF-8:";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out(kEscapeMark);
  for (unsigned char c : text) {
    if (c >= 0x80 || c < 0x20 || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The escaped form's text, or nothing when it is not one (a hand edit broke it): then the stored
// bytes are read as the code page's, like any other text. The text is trimmed as a plain one is.
std::optional<std::string> Unescaped(std::string_view stored) {
  if (!stored.starts_with(kEscapeMark)) return std::nullopt;
  stored.remove_prefix(kEscapeMark.size());
  std::string out;
  for (size_t i = 0; i < stored.size(); ++i) {
    const auto c = static_cast<unsigned char>(stored[i]);
    if (c >= 0x80) return std::nullopt;
    if (c != '%') {
      out += static_cast<char>(c);
      continue;
    }
    if (i + 2 >= stored.size()) return std::nullopt;
    const int high = HexValue(stored[i + 1]), low = HexValue(stored[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return platform::Trim(out);
}

}  // namespace

struct TMemIniFile::Section {
  std::string name;
  std::vector<Line> lines;
  // Upper-case key name -> index into lines of its last occurrence.
  std::unordered_map<std::string, size_t> key_index;

  void Add(Line line) {
    if (line.is_key) key_index[platform::UpperCase(line.name)] = lines.size();
    lines.push_back(std::move(line));
  }
  const Line* Find(const std::string& key) const {
    auto it = key_index.find(platform::UpperCase(key));
    return it == key_index.end() ? nullptr : &lines[it->second];
  }
};

TMemIniFile::TMemIniFile(platform::FileSystem& files, std::string file_name)
    : files_(files), file_name_(std::move(file_name)) {
  if (auto text = files_.ReadFile(file_name_)) {
    Parse(*text);
  } else {
    unreadable_ = files_.GetAttributes(file_name_).has_value();
  }
}

TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::Decoded(std::string_view stored, bool utf8) const {
  if (auto text = Unescaped(stored)) return *text;
  // A line of a file marked as UTF-8 that is not UTF-8 after all (a hand edit in another editor)
  // is read as the code page's, which loses none of its bytes.
  if (utf8 && platform::IsUtf8(stored)) return std::string(stored);
  return files_.AnsiToUtf8(stored);
}

std::string TMemIniFile::Encoded(const std::string& text, Part part) const {
  // Besides what the code page cannot hold, whatever a hand-written escape may have brought in
  // that would read back as something else: a line break or NUL; a key or line that would read as
  // a section ("[" first; a key's line may end in "]"), a comment, a key with another value, or
  // nothing.
  bool escape = platform::Trim(text).starts_with(kEscapeMark) ||
                text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
  // An empty line would not be read at all.
  if (part == Part::kLine && platform::Trim(text).empty()) escape = true;
  if (part != Part::kValue && !escape)
    escape = text.find('=') != std::string::npos || text.starts_with(';') ||
             (text.starts_with('[') && (part == Part::kKey || text.ends_with(']')));
  if (!escape)
    if (auto ansi = files_.Utf8ToAnsi(text)) return *ansi;
  return Escaped(text);
}

void TMemIniFile::Parse(const std::string& whole) {
  // A NUL ends the text: whatever follows it is not read.
  std::string_view text(whole.data(), std::min(whole.size(), whole.find('\0')));
  // Editors that save UTF-8 may put a byte-order mark first; it is no part of the first line, and
  // it says that the text is UTF-8 rather than the code page's. The file is written back in the
  // code page, as always, without the mark.
  const bool utf8 = text.starts_with("\xEF\xBB\xBF");
  if (utf8) text.remove_prefix(3);
  Section* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = platform::Trim(text.substr(pos, end - pos));
    // CR LF is one line end; a lone CR or a lone LF is one too.
    pos = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++pos;

    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = &AddSection(Decoded(platform::Trim(std::string_view(line).substr(1, line.size() - 2)), utf8));
      continue;
    }
    if (current == nullptr) continue;
    Line stored;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      stored.name = Decoded(line, utf8);
    } else {
      stored.is_key = true;
      stored.name = Decoded(platform::Trim(std::string_view(line).substr(0, eq)), utf8);
      stored.value = Decoded(platform::Trim(std::string_view(line).substr(eq + 1)), utf8);
    }
    current->Add(std::move(stored));
  }
}

TMemIniFile::Section& TMemIniFile::AddSection(const std::string& name) {
  auto section = std::make_unique<Section>();
  section->name = name;
  section_index_[platform::UpperCase(name)] = sections_.size();
  sections_.push_back(std::move(section));
  return *sections_.back();
}

TMemIniFile::Section* TMemIniFile::FindSection(const std::string& name) const {
  auto it = section_index_.find(platform::UpperCase(name));
  return it == section_index_.end() ? nullptr : sections_[it->second].get();
}

std::vector<std::string> TMemIniFile::ReadSections() const {
  std::vector<std::string> names;
  names.reserve(sections_.size());
  for (const auto& section : sections_) names.push_back(section->name);
  return names;
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
  const Section* s = FindSection(section);
  if (s == nullptr) return fallback;
  const Line* line = s->Find(key);
  return line == nullptr ? fallback : line->value;
}

int32_t TMemIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t fallback) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  return platform::StrToIntDef(text, fallback);
}

bool TMemIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const std::string& section_name, const std::string& key_name, const std::string& text) {
  const std::string section = OneLine(section_name), key = OneLine(key_name), value = OneLine(text);
  Section* s = FindSection(section);
  if (s == nullptr) s = &AddSection(section);
  auto it = s->key_index.find(platform::UpperCase(key));
  if (it != s->key_index.end()) {
    Line& line = s->lines[it->second];
    line.name = key;
    line.value = value;
    return;
  }
  s->Add(Line{true, key, value});
}

void TMemIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TMemIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> TMemIniFile::ReadSectionValues(const std::string& section) const {
  std::vector<std::string> values;
  if (const Section* s = FindSection(section))
    for (const Line& line : s->lines)
      if (line.is_key) values.push_back(line.value);
  return values;
}

void TMemIniFile::EraseSection(const std::string& section) {
  const std::string key = platform::UpperCase(OneLine(section));
  std::erase_if(sections_, [&key](const auto& s) { return platform::UpperCase(s->name) == key; });
  section_index_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) section_index_[platform::UpperCase(sections_[i]->name)] = i;
}

void TMemIniFile::UpdateFile() const {
  if (unreadable_ && files_.GetAttributes(file_name_))
    throw platform::Exception(platform::TrLater("The settings in \"%1\" could not be read, so they were not saved "
                                                "over. Close the program that holds the file, or repair it, and "
                                                "start Clutterix again."),
                              {file_name_});
  std::string text;
  for (const auto& section : sections_) {
    text += "[" + Encoded(section->name, Part::kValue) + "]\r\n";
    for (const Line& line : section->lines) {
      text += Encoded(line.name, line.is_key ? Part::kKey : Part::kLine);
      if (line.is_key) text += "=" + Encoded(line.value, Part::kValue);
      text += "\r\n";
    }
    text += "\r\n";
  }
  if (auto reason = files_.WriteFile(file_name_, text))
    throw platform::Exception(platform::TrLater("Cannot create file \"%1\". %2"), {file_name_, *reason});
}
