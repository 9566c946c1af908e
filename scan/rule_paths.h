#pragma once
// Rule folders with wildcard components. A component of a rule's folder may be a template ("*",
// "?") in place of a folder name, as in "...\User Data\*\Cache": every profile of a browser. No
// written path changes meaning, since Windows forbids both characters in names.
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

class TExclusions;

// The length of a path's root part: "C:\" (3), "C:" (2), "\" (1), "\\server\share\" (its last
// separator included where there is one) or nothing (0). Either separator counts.
size_t PathRootLength(std::string_view path);

// Whether a folder has a component after its root that is a template.
bool HasWildcardComponent(std::string_view folder);

// The folders that a rule's folder names, each to be searched like a written path. A folder
// without a wildcard component is given back as it stands (the search finds out whether it
// exists). Otherwise each template is matched against the long names of the folders in its
// parent, in listing order, and each match is expanded in turn. From the first template on, every
// folder on the way, written or matched, must be a real folder: a link (a junction where a
// profile should be) is never followed, nor is an excluded folder entered. A template in the
// root part ("C:", "\\server\share") names nothing. Ends early, with what it has, once stop is set.
std::vector<std::string> ExpandRuleFolder(platform::FileSystem& files, const std::string& folder,
                                          const TExclusions& exclusions, const std::atomic<bool>& stop);
