#include "ui/tr.h"

#include <algorithm>

#include "platform/text.h"

namespace ui {

namespace {

std::shared_ptr<const TCatalogue>& Current() {
  static std::shared_ptr<const TCatalogue> current;
  return current;
}

}  // namespace

void SetCatalogue(std::shared_ptr<const TCatalogue> catalogue) { Current() = std::move(catalogue); }

const TCatalogue* CurrentCatalogue() { return Current().get(); }

std::string Tr(std::string_view text) { return TrC({}, text); }

std::string TrC(std::string_view context, std::string_view text) {
  const TCatalogue* catalogue = CurrentCatalogue();
  const std::string* found = catalogue ? catalogue->Find(context, text) : nullptr;
  return found ? *found : std::string(text);
}

std::string TrN(std::string_view singular, std::string_view plural, uint64_t n) {
  const TCatalogue* catalogue = CurrentCatalogue();
  const std::string* found = catalogue ? catalogue->FindPlural({}, singular, n) : nullptr;
  if (found) return *found;
  return std::string(n == 1 ? singular : plural);
}

std::vector<std::string> FacesFor(std::string_view design_face) {
  std::string named(design_face);
  // TRANSLATORS: the face for the window's text; for a script Tahoma lacks, faces that have it,
  // separated by "|", the first installed one used ("Meiryo UI|MS UI Gothic").
  if (design_face == "Tahoma") named = TrC("font", "Tahoma");
  // TRANSLATORS: the face for headings and labels; as for Tahoma.
  if (design_face == "Calibri") named = TrC("font", "Calibri");
  std::vector<std::string> faces;
  for (size_t start = 0; start <= named.size();) {
    const size_t bar = std::min(named.find('|', start), named.size());
    if (bar > start) faces.push_back(named.substr(start, bar - start));
    start = bar + 1;
  }
  return faces;
}

std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args) {
  return platform::FillPlaceholders(pattern, args);
}

}  // namespace ui
