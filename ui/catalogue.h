#pragma once
// A compiled gettext catalogue (".mo"): the translations of the program's English texts into one
// language, with their contexts and plural forms. Read from bytes; the file is never trusted.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/plural_rule.h"

namespace ui {

class TCatalogue {
 public:
  // The catalogue held in `mo`; none when it is not one. Entries that point outside the bytes
  // are left out, the rest kept.
  static std::optional<TCatalogue> Parse(std::string_view mo);

  // The translation of `text` (in `context`, empty for none); none when the catalogue has none.
  const std::string* Find(std::string_view context, std::string_view text) const;
  // The translation of a count's text in the language's form for n.
  const std::string* FindPlural(std::string_view context, std::string_view singular, uint64_t n) const;

  // A field of the header ("Language", "Plural-Forms"), empty when missing.
  std::string Header(std::string_view field) const;
  size_t Size() const { return entries_.size(); }
  // The English texts whose translation differs from them, whatever their context.
  std::vector<std::string> ChangedTexts() const;

 private:
  // Key: context, "\x04", the English text (its singular for a count). Value: the forms.
  std::unordered_map<std::string, std::vector<std::string>> entries_;
  std::string header_;
  TPluralRule plural_;
};

}  // namespace ui
