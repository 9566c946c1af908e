#include "tests/support/ntfs_image.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace ntfs_image {

bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

bool ToolsPresent(const std::vector<std::string>& tools) {
  return std::all_of(tools.begin(), tools.end(), [](const std::string& tool) { return Shell("command -v " + tool); });
}

const std::vector<std::string>& ImageTools() {
  static const std::vector<std::string> tools = {"mkntfs", "wimcapture", "wimapply"};
  return tools;
}

std::string MissingToolsMessage() { return "mkntfs, wimcapture and wimapply (ntfs-3g, wimtools) are needed"; }

fs::path MakeTempFolder() {
  std::string pattern = (fs::temp_directory_path() / "cx-ntfs-XXXXXX").string();
  return mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

bool MakeImage(const fs::path& tree, const fs::path& image, int size_mib) {
  const std::string img = image.string(), wim = img + ".wim";
  return Shell("truncate -s " + std::to_string(size_mib) + "M '" + img + "'") &&
         Shell("mkntfs -F -Q -q '" + img + "'") &&
         Shell("wimcapture '" + tree.string() + "' '" + wim + "' --compress=none") &&
         Shell("wimapply '" + wim + "' '" + img + "'");
}

std::vector<uint8_t> ReadImage(const fs::path& image) {
  std::vector<uint8_t> bytes(fs::file_size(image));
  std::ifstream(image, std::ios::binary).read(reinterpret_cast<char*>(bytes.data()), bytes.size());
  return bytes;
}

platform::ntfs::ReadVolume Reader(const std::vector<uint8_t>& bytes) {
  return [&bytes](uint64_t offset, size_t size) {
    if (offset > bytes.size()) return std::vector<uint8_t>();
    const size_t end = std::min<uint64_t>(bytes.size(), offset + size);
    return std::vector<uint8_t>(bytes.begin() + offset, bytes.begin() + end);
  };
}

}  // namespace ntfs_image
