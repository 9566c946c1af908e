// The shape of the source tree: only app/ knows the main window, every include goes to the same
// folder or a lower one, and no header includes itself through others. Read from the sources, so
// that a new include that breaks any of these fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Project includes ("dir/file.h") of every source file, keyed by its path from the source root.
std::map<std::string, std::vector<std::string>> ProjectIncludes() {
  const fs::path root = CX_SOURCE_DIR;
  const std::regex include_line(R"re(^\s*#\s*include\s+"([^"]+)")re");
  std::map<std::string, std::vector<std::string>> includes;
  for (const char* dir :
       {"app", "scan", "clean", "settings", "processes", "update", "context", "ini", "platform", "ui", "tests"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / dir)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".h" && ext != ".cpp") continue;
      std::ifstream in(entry.path());
      std::vector<std::string>& list = includes[fs::relative(entry.path(), root).generic_string()];
      std::smatch match;
      for (std::string line; std::getline(in, line);)
        if (std::regex_search(line, match, include_line)) list.push_back(match[1]);
    }
  }
  return includes;
}

// The height of each folder; a file includes from its own folder or from lower ones. Folders of
// one height are siblings and do not include each other.
int LayerOf(const std::string& path) {
  static const std::map<std::string, int> layers = {{"platform", 0}, {"ui", 1},    {"ini", 1},      {"context", 2},
                                                    {"scan", 3},     {"clean", 4}, {"settings", 4}, {"processes", 4},
                                                    {"update", 4},   {"app", 5}};
  const auto found = layers.find(path.substr(0, path.find('/')));
  return found == layers.end() ? -1 : found->second;
}

TEST(Layering, IncludesRunOnlyDownTheFolders) {
  for (const auto& [file, list] : ProjectIncludes()) {
    const int layer = LayerOf(file);
    if (layer < 0) continue;  // the tests include anything
    const std::string folder = file.substr(0, file.find('/'));
    for (const std::string& included : list) {
      const int to = LayerOf(included);
      if (to < 0 || included.starts_with(folder + "/")) continue;
      EXPECT_LT(to, layer) << file << " includes " << included;
    }
  }
}

TEST(Layering, OnlyAppIncludesTheMainWindowAndNoHeaderIncludesItself) {
  const auto includes = ProjectIncludes();
  ASSERT_TRUE(includes.count("app/dlgMain.h"));
  for (const auto& [file, list] : includes) {
    if (file.starts_with("app/") || file.starts_with("tests/")) continue;
    for (const std::string& included : list) EXPECT_NE(included, "app/dlgMain.h") << file;
  }

  // Depth-first search over the headers; a header met again on the current path closes a circle.
  std::map<std::string, int> state;  // 1 on the path, 2 done
  std::vector<std::string> path;
  std::function<void(const std::string&)> visit = [&](const std::string& file) {
    state[file] = 1;
    path.push_back(file);
    const auto found = includes.find(file);
    if (found != includes.end()) {
      for (const std::string& next : found->second) {
        if (!includes.count(next)) continue;  // a system header
        if (state[next] == 1) {
          std::string circle;
          for (const std::string& p : path) circle += p + " -> ";
          ADD_FAILURE() << "include circle: " << circle << next;
        } else if (state[next] == 0) {
          visit(next);
        }
      }
    }
    path.pop_back();
    state[file] = 2;
  };
  for (const auto& entry : includes)
    if (state[entry.first] == 0) visit(entry.first);
}

}  // namespace
