#include "scan/template_match.h"

#include "platform/wildcard.h"

bool TemplateMatches(std::string_view Template, std::string_view Name) {
  return platform::WildcardMatches(Template, Name);
}
