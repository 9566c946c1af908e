#include "ui/catalogue.h"

namespace ui {

namespace {

constexpr uint32_t kMagic = 0x950412de;

class Reader {
 public:
  Reader(std::string_view bytes, bool big_endian) : bytes_(bytes), big_endian_(big_endian) {}

  std::optional<uint32_t> Word(uint64_t offset) const {
    if (offset + 4 > bytes_.size()) return std::nullopt;
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<uint8_t>(bytes_[static_cast<size_t>(offset) + (big_endian_ ? i : 3 - i)]);
      w = (w << 8) | byte;
    }
    return w;
  }
  // The string that the table entry at `offset` describes (length, then place).
  std::optional<std::string_view> String(uint64_t offset) const {
    const std::optional<uint32_t> length = Word(offset), place = Word(offset + 4);
    if (!length || !place || uint64_t{*place} + *length > bytes_.size()) return std::nullopt;
    return bytes_.substr(*place, *length);
  }

 private:
  std::string_view bytes_;
  bool big_endian_;
};

std::vector<std::string> SplitAtNul(std::string_view text) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t end = text.find('\0', start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string Key(std::string_view context, std::string_view text) {
  std::string key(context);
  key += '\x04';
  key += text;
  return key;
}

}  // namespace

std::optional<TCatalogue> TCatalogue::Parse(std::string_view mo) {
  if (mo.size() < 28) return std::nullopt;
  // The file is written in its maker's byte order: the magic number says which.
  const bool little_endian = Reader(mo, false).Word(0) == kMagic;
  if (!little_endian && Reader(mo, true).Word(0) != kMagic) return std::nullopt;
  const Reader read(mo, !little_endian);
  const uint32_t revision = *read.Word(4);
  if ((revision >> 16) > 1) return std::nullopt;
  const uint32_t count = *read.Word(8), originals = *read.Word(12), translations = *read.Word(16);
  if (uint64_t{count} * 8 > mo.size()) return std::nullopt;

  TCatalogue catalogue;
  for (uint32_t i = 0; i < count; ++i) {
    const auto original = read.String(uint64_t{originals} + uint64_t{i} * 8);
    const auto translation = read.String(uint64_t{translations} + uint64_t{i} * 8);
    if (!original || !translation) continue;
    // "context\x04text", and for a count "singular\0plural".
    std::string_view id = original->substr(0, original->find('\0'));
    std::string_view context;
    if (const size_t eot = id.find('\x04'); eot != std::string_view::npos) {
      context = id.substr(0, eot);
      id.remove_prefix(eot + 1);
    }
    if (context.empty() && id.empty()) {
      catalogue.header_ = std::string(*translation);
      continue;
    }
    std::vector<std::string> forms = SplitAtNul(*translation);
    if (forms.front().empty()) continue;  // untranslated: the English text stands
    catalogue.entries_[Key(context, id)] = std::move(forms);
  }
  if (std::optional<TPluralRule> rule = TPluralRule::Parse(catalogue.Header("Plural-Forms")))
    catalogue.plural_ = std::move(*rule);
  return catalogue;
}

const std::string* TCatalogue::Find(std::string_view context, std::string_view text) const {
  const auto it = entries_.find(Key(context, text));
  return it == entries_.end() ? nullptr : &it->second.front();
}

const std::string* TCatalogue::FindPlural(std::string_view context, std::string_view singular, uint64_t n) const {
  const auto it = entries_.find(Key(context, singular));
  if (it == entries_.end()) return nullptr;
  const auto form = static_cast<size_t>(plural_.FormFor(n));
  // A catalogue with fewer forms than its rule names gives its last one.
  return &it->second[form < it->second.size() ? form : it->second.size() - 1];
}

std::vector<std::string> TCatalogue::ChangedTexts() const {
  std::vector<std::string> texts;
  for (const auto& [key, forms] : entries_) {
    std::string text = key.substr(key.find('\x04') + 1);
    if (forms.front() != text) texts.push_back(std::move(text));
  }
  return texts;
}

std::string TCatalogue::Header(std::string_view field) const {
  const std::string wanted = std::string(field) + ":";
  for (size_t start = 0; start < header_.size();) {
    size_t end = header_.find('\n', start);
    if (end == std::string::npos) end = header_.size();
    std::string_view line(header_.data() + start, end - start);
    if (line.starts_with(wanted)) {
      line.remove_prefix(wanted.size());
      while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
      return std::string(line);
    }
    start = end + 1;
  }
  return {};
}

}  // namespace ui
