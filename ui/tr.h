#pragma once
// The texts a person sees, in the language chosen at start: each English text of the program is
// the key of its translation. Machine-readable output (reports, summaries, events, exit codes)
// never goes through here, so it stays English in every language.
//
// The catalogue is set once, before the first form is built and before any worker runs; no lock.
// Texts are marked with these names so that xgettext finds them:
//   xgettext --keyword=Tr --keyword=TrC:1c,2 --keyword=TrN:1,2 --keyword=TrNoop
// (and platform::TrLater, for messages made below this layer: see platform/exception.h)
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/catalogue.h"

namespace ui {

// Makes `catalogue` the one every text is looked up in; null returns to English.
void SetCatalogue(std::shared_ptr<const TCatalogue> catalogue);
const TCatalogue* CurrentCatalogue();

// The translation of an English text, or the text itself.
std::string Tr(std::string_view text);
// The same, for a text that means two things in English: `context` tells which.
std::string TrC(std::string_view context, std::string_view text);
// The translation of a count's text in the form for n (English: singular for 1, else plural).
std::string TrN(std::string_view singular, std::string_view plural, uint64_t n);
// Marks a text kept in English in a table, translated where it is shown.
constexpr const char* TrNoop(const char* text) { return text; }

// The faces to draw a design face with in the language shown, the first installed one to be used:
// a language whose script the design's faces lack names its own ("Meiryo UI|MS UI Gothic").
std::vector<std::string> FacesFor(std::string_view design_face);

// `pattern` with %1 ... %9 replaced by the arguments (translations may reorder them); "%%" is "%".
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace ui
