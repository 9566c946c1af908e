#pragma once
// The plural rule of a catalogue: the C expression of its "Plural-Forms" header
// ("nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : ...);") read once and evaluated per count.
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace ui {

class TPluralRule {
 public:
  struct Node;
  // English's rule: one form for 1, the other for every other count.
  TPluralRule();
  ~TPluralRule();
  TPluralRule(TPluralRule&&) noexcept;
  TPluralRule& operator=(TPluralRule&&) noexcept;

  // The rule of a header's "Plural-Forms" value; none when it cannot be read.
  static std::optional<TPluralRule> Parse(std::string_view plural_forms);

  int Forms() const { return forms_; }
  // The form for n, always below Forms().
  int FormFor(uint64_t n) const;

 private:
  int forms_ = 2;
  std::unique_ptr<Node> expression_;
};

}  // namespace ui
