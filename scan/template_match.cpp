#include "scan/template_match.h"

#include "platform/text.h"

bool TemplateMatches(std::string_view Template, std::string_view Name) {
  if (Template.empty()) return false;
  if (Template == "*" || Template == "*.*") return true;
  const std::string t = platform::UpperCase(Template);
  const std::string n = platform::UpperCase(Name);
  // Left to right, going back to the last "*" on a mismatch: linear in practice, and never
  // exponential however many stars the template holds.
  size_t ti = 0, ni = 0, star = std::string::npos, resume = 0;
  while (ni < n.size()) {
    if (ti < t.size() && (t[ti] == '?' || t[ti] == n[ni])) {
      ++ti;
      ++ni;
    } else if (ti < t.size() && t[ti] == '*') {
      star = ti++;
      resume = ni;
    } else if (star != std::string::npos) {
      ti = star + 1;
      ni = ++resume;
    } else {
      return false;
    }
  }
  while (ti < t.size() && t[ti] == '*') ++ti;
  if (ti + 2 == t.size() && t[ti] == '.' && t[ti + 1] == '*') return true;
  return ti == t.size();
}
