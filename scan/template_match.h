#pragma once
// A rule's template matched against an entry's long name, with the wildcard rules of the
// platform's file search. The search itself cannot be used for this: on a volume with 8.3 short
// names it also matches the alias, so "*.log" would find "report.logging" (REPORT~1.LOG) and
// "*.tmp" "design.tmpl", objects that no rule describes.
#include <string_view>

// The rules are platform::WildcardMatches.
bool TemplateMatches(std::string_view Template, std::string_view Name);
