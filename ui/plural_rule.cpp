#include "ui/plural_rule.h"

#include <cctype>
#include <string>
#include <vector>

namespace ui {

// One node of the expression: an operator with up to three operands, the count, or a number.
struct TPluralRule::Node {
  std::string op;  // "n", "#", "!", "?:", or a binary operator
  uint64_t value = 0;
  std::unique_ptr<Node> a, b, c;

  uint64_t Eval(uint64_t n) const {
    if (op == "n") return n;
    if (op == "#") return value;
    if (op == "!") return !a->Eval(n);
    if (op == "?:") return a->Eval(n) ? b->Eval(n) : c->Eval(n);
    if (op == "||") return a->Eval(n) || b->Eval(n);
    if (op == "&&") return a->Eval(n) && b->Eval(n);
    const uint64_t x = a->Eval(n), y = b->Eval(n);
    if (op == "==") return x == y;
    if (op == "!=") return x != y;
    if (op == "<") return x < y;
    if (op == ">") return x > y;
    if (op == "<=") return x <= y;
    if (op == ">=") return x >= y;
    if (op == "+") return x + y;
    if (op == "-") return x - y;
    if (op == "*") return x * y;
    if (op == "/") return y ? x / y : 0;
    if (op == "%") return y ? x % y : 0;
    return 0;
  }
};

namespace {

using NodePtr = std::unique_ptr<TPluralRule::Node>;

// Recursive descent over C's precedence levels; any error leaves the parse without a result.
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  NodePtr Whole() {
    NodePtr e = Ternary(0);
    Skip();
    if (!e || pos_ != text_.size()) return nullptr;
    return e;
  }

 private:
  static constexpr int kMaxDepth = 64;  // a hostile header cannot exhaust the stack

  void Skip() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  bool Take(std::string_view token) {
    Skip();
    if (text_.substr(pos_, token.size()) != token) return false;
    // "<" must not take the first half of "<=", nor "!" of "!=", "=" alone is no operator.
    if (token.size() == 1 && pos_ + 1 < text_.size() && text_[pos_ + 1] == '=' &&
        std::string_view("<>!").find(token[0]) != std::string_view::npos)
      return false;
    pos_ += token.size();
    return true;
  }
  static NodePtr Make(std::string op, NodePtr a = nullptr, NodePtr b = nullptr, NodePtr c = nullptr) {
    if (op != "n" && op != "#" && !a) return nullptr;
    auto node = std::make_unique<TPluralRule::Node>();
    node->op = std::move(op);
    node->a = std::move(a);
    node->b = std::move(b);
    node->c = std::move(c);
    return node;
  }

  NodePtr Ternary(int depth) {
    if (depth > kMaxDepth) return nullptr;
    NodePtr cond = Binary(0, depth);
    if (!cond || !Take("?")) return cond;
    NodePtr yes = Ternary(depth + 1);
    if (!yes || !Take(":")) return nullptr;
    NodePtr no = Ternary(depth + 1);
    if (!no) return nullptr;
    return Make("?:", std::move(cond), std::move(yes), std::move(no));
  }

  // Binary operators from the loosest to the tightest.
  NodePtr Binary(size_t level, int depth) {
    static const std::vector<std::vector<std::string_view>> kLevels = {
        {"||"}, {"&&"}, {"==", "!="}, {"<=", ">=", "<", ">"}, {"+", "-"}, {"*", "/", "%"}};
    if (level == kLevels.size()) return Unary(depth);
    NodePtr left = Binary(level + 1, depth);
    while (left) {
      std::string_view found;
      for (std::string_view op : kLevels[level])
        if (Take(op)) {
          found = op;
          break;
        }
      if (found.empty()) break;
      NodePtr right = Binary(level + 1, depth);
      if (!right) return nullptr;
      left = Make(std::string(found), std::move(left), std::move(right));
    }
    return left;
  }

  NodePtr Unary(int depth) {
    if (depth > kMaxDepth) return nullptr;
    if (Take("!")) return Make("!", Unary(depth + 1));
    if (Take("(")) {
      NodePtr inner = Ternary(depth + 1);
      return inner && Take(")") ? std::move(inner) : nullptr;
    }
    Skip();
    if (pos_ < text_.size() && text_[pos_] == 'n') {
      ++pos_;
      return Make("n");
    }
    if (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      uint64_t value = 0;
      while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
        value = value * 10 + static_cast<uint64_t>(text_[pos_++] - '0');
      NodePtr number = Make("#");
      number->value = value;
      return number;
    }
    return nullptr;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

// The text after "key=" up to the next ';', trimmed.
std::optional<std::string_view> Field(std::string_view text, std::string_view key) {
  for (size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
    size_t pos = at + key.size();
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos >= text.size() || text[pos] != '=') continue;
    const size_t end = text.find(';', pos);
    std::string_view value =
        text.substr(pos + 1, end == std::string_view::npos ? std::string_view::npos : end - pos - 1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front()))) value.remove_prefix(1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.remove_suffix(1);
    return value;
  }
  return std::nullopt;
}

}  // namespace

TPluralRule::TPluralRule() : expression_(Parser("n != 1").Whole()) {}
TPluralRule::~TPluralRule() = default;
TPluralRule::TPluralRule(TPluralRule&&) noexcept = default;
TPluralRule& TPluralRule::operator=(TPluralRule&&) noexcept = default;

std::optional<TPluralRule> TPluralRule::Parse(std::string_view plural_forms) {
  const std::optional<std::string_view> count = Field(plural_forms, "nplurals");
  const std::optional<std::string_view> expression = Field(plural_forms, "plural");
  if (!count || !expression || count->empty() || count->size() > 2) return std::nullopt;
  int forms = 0;
  for (char c : *count) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    forms = forms * 10 + (c - '0');
  }
  NodePtr parsed = Parser(*expression).Whole();
  if (forms < 1 || !parsed) return std::nullopt;
  TPluralRule rule;
  rule.forms_ = forms;
  rule.expression_ = std::move(parsed);
  return rule;
}

int TPluralRule::FormFor(uint64_t n) const {
  const uint64_t form = expression_ ? expression_->Eval(n) : (n != 1);
  return form < static_cast<uint64_t>(forms_) ? static_cast<int>(form) : forms_ - 1;
}

}  // namespace ui
