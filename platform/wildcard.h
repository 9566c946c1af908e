#pragma once
// The wildcard rules of the system's file search, applied to one name: shared by the program's own
// matching of templates and by the file system where the search cannot apply them itself.
#include <string_view>

namespace platform {

// "*" matches any run of characters, "?" any one character (a code point: an emoji written as two
// UTF-16 units is one), letter case is ignored for every script as Windows compares names (see
// UpperCaseChar), "*.*" and a trailing ".*" also match names without a dot; an empty pattern
// matches nothing.
bool WildcardMatches(std::string_view pattern, std::string_view name);

}  // namespace platform
