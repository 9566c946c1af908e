// Every name the file system can hold, through the real window under Wine: garbage in the Windows
// temporary folder named in scripts outside the code page (CJK, Greek, emoji as surrogate pairs),
// with trailing dots and spaces, and thumbnail caches at the end of paths of 300, 600 and 1,000
// characters. Each is listed with its size, "Clean All" removes it, and the files beside it are
// byte for byte what they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/wide_text.h"
#include "tests/wine/support/file_tree.h"
#include "tests/wine/support/gui_driver.h"
#include "tests/wine/support/screenshot.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::string kTemp = "C:\\windows\\Temp";
const std::string kLong = "C:\\cxwide-long";  // walked by the thumbnail rule, which looks everywhere
const std::string kKeep = "C:\\cxwide-keep";

// UTF-8 spellings of the names.
const std::string kPhotos = "\xE7\x85\xA7\xE7\x89\x87";                 // 照片
const std::string kOmega = "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";  // Ωμέγα
const std::string kSmile = "\xF0\x9F\x98\x80";                          // U+1F600, two UTF-16 units
const std::string kLongChar = "\xE9\x95\xB7";                           // 長: 1 unit, 3 bytes

// The size text of the results list: bytes up to 4096, else megabytes with 5 significant digits.
std::string SizeText(size_t bytes) {
  if (bytes <= 4096) return std::to_string(bytes) + " Bytes";
  char text[32];
  std::snprintf(text, sizeof text, "%.5g", static_cast<double>(bytes) / 1048576.0);
  return text;
}

size_t Units(const std::string& utf8) { return platform::win32::Wide(utf8).size(); }

// A folder below base whose path, with "\" and `name` added, is exactly `length` UTF-16 units,
// made of parts of `part` repeated: at most 80 units a part, which keeps a name within the 255
// bytes of a Unix name even in three-byte characters.
std::string FolderForLength(const std::string& base, size_t length, const std::string& name,
                            const std::string& part = "d") {
  std::string folder = base;
  for (;;) {
    const size_t left = length - Units(folder) - 1 - Units(name);  // what the parts still take
    if (left == 0) return folder;
    // Each part costs its separator too; never leave a single unit, which would be an empty part.
    const size_t piece = left <= 81 ? left - 1 : (left >= 84 ? 80 : left - 3);
    std::string segment;
    while (Units(segment) + Units(part) <= piece) segment += part;
    while (Units(segment) < piece) segment += "x";
    folder += "\\" + segment;
  }
}

// Whether the folder lists a file under exactly this name (a file system may store a name it
// cannot hold under another).
bool ListedAs(const std::string& folder, const std::string& name) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(platform::win32::Wide(folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    found = found || platform::win32::Wide(name) == data.cFileName;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return found;
}

// FNV-1a of a file's content: a keeper must hash the same after the cleaning.
uint64_t Hash(const std::string& path) {
  const std::optional<std::string> content = ReadShared(path);
  if (!content) return 0;
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : *content) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

TEST(WideNamesE2eTest, NamesOutsideTheCodePageTrailingDotsAndLongPathsAreListedSizedAndCleaned) {
  ResetSettingsFile();
  struct Cleanup {
    std::vector<std::string> paths;
    ~Cleanup() {
      for (const std::string& path : paths) RemoveTree(path);
    }
  } cleanup{{kLong, kKeep}};

  // Garbage objects of the temporary folder's rule (everything in it) with their sizes; folders
  // hold files that add up to the size.
  std::vector<std::pair<std::string, size_t>> garbage;
  auto plant = [&](const std::string& path, size_t size) {
    MakeFolders(path.substr(0, path.rfind('\\')));
    WriteBytes(path, size);
  };
  const std::string photos = kTemp + "\\cxwide-" + kPhotos;
  plant(photos + "\\" + kOmega + ".dat", 3000);
  plant(photos + "\\" + kSmile + ".bin", 3000);
  garbage.emplace_back(photos, 6000);
  garbage.emplace_back(kTemp + "\\cxwide-" + kOmega + ".tmp", 5000);
  garbage.emplace_back(kTemp + "\\cxwide-" + kSmile + ".tmp", 5500);
  garbage.emplace_back(kTemp + "\\cxwide-space.tmp ", 6500);
  garbage.emplace_back(kTemp + "\\cxwide-dots...", 7000);
  for (size_t i = 1; i < 5; ++i) plant(garbage[i].first, garbage[i].second);
  const std::string trail = kTemp + "\\cxwide-trail.";
  plant(trail + "\\inner.bin", 5000);
  garbage.emplace_back(trail, 5000);
  // A deep tree whose own path is short: its files lie at 300, 600 and 1,000 characters.
  const std::string deep = kTemp + "\\cxwide-deep";
  size_t deep_size = 0;
  for (const auto& [length, part] :
       std::vector<std::pair<size_t, std::string>>{{300, "d"}, {600, kLongChar}, {1000, kOmega.substr(0, 2)}}) {
    const std::string file = FolderForLength(deep + "\\p" + std::to_string(length), length, "f.bin", part) + "\\f.bin";
    ASSERT_EQ(Units(file), length);
    plant(file, 2000 + length);
    deep_size += 2000 + length;
  }
  garbage.emplace_back(deep, deep_size);
  // A lone surrogate, where the file system takes one (NTFS does; Wine may not).
  const std::string lone_name = "cxwide-lone\xED\xA0\x80.tmp";
  const std::string lone = kTemp + "\\" + lone_name;
  WriteBytes(lone, 5200);
  if (ListedAs(kTemp, lone_name)) {
    garbage.emplace_back(lone, 5200);
  } else {
    RemoveTree(lone);
    std::printf("note: this file system cannot hold a lone surrogate in a name; not tried\n");
  }

  // Thumbnail caches, each an object of its own, at the end of long paths and in odd folders,
  // with a keeper beside each.
  std::vector<std::string> keepers;
  auto thumbs = [&](const std::string& folder, size_t size) {
    plant(folder + "\\Thumbs.db", size);
    garbage.emplace_back(folder + "\\Thumbs.db", size);
    keepers.push_back(folder + "\\keep.jpg");
  };
  thumbs(FolderForLength(kLong + "\\l300", 300, "Thumbs.db"), 6100);
  thumbs(FolderForLength(kLong + "\\l600", 600, "Thumbs.db", kLongChar), 6200);
  thumbs(FolderForLength(kLong + "\\l1000", 1000, "Thumbs.db", kSmile), 6300);
  thumbs(kLong + "\\" + kPhotos, 6400);
  thumbs(kLong + "\\album.", 6500);
  thumbs(kLong + "\\album ", 6600);
  // Files that are no garbage, named as the garbage is, outside the rules' folders.
  for (const auto& [path, size] : garbage)
    if (path.starts_with(kTemp)) keepers.push_back(kKeep + path.substr(kTemp.size()));
  keepers.push_back(kLong + "\\album\\keep.jpg");  // what "album." and "album " would become plainly
  std::vector<uint64_t> hashes;
  for (size_t i = 0; i < keepers.size(); ++i) {
    plant(keepers[i], 100 + i);
    hashes.push_back(Hash(keepers[i]));
    ASSERT_NE(hashes.back(), 0u) << keepers[i];
  }
  struct TempCleanup {
    const std::vector<std::pair<std::string, size_t>>& objects;
    ~TempCleanup() {
      for (const auto& object : objects) RemoveTree(object.first);
    }
  } temp_cleanup{garbage};

  GuiProgram program;
  HWND main = StartMainWindow(program);
  ASSERT_NE(main, nullptr);
  HWND clean_all = FindChild(main, "Clean All");
  ASSERT_NE(clean_all, nullptr);
  HWND list = ScanToResults(main, 300000);
  ASSERT_NE(list, nullptr) << "the results page";
  Rows rows = ListViewRows(list, 3);
  for (const auto& [path, size] : garbage) {
    const auto* row = FindRow(rows, path);
    if (row == nullptr) {
      ADD_FAILURE() << "not listed: " << path;
      continue;
    }
    EXPECT_EQ((*row)[1], SizeText(size)) << path;
  }
  for (const auto& row : rows)
    for (const std::string& keeper : keepers) EXPECT_NE(row[0], keeper) << "not garbage";
  ScreenshotWhenPainted(main, list, "unicode-results");

  PostMessageA(clean_all, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (!IsWindowEnabled(clean_all)) return false;
        rows = ListViewRows(list, 3);
        for (const auto& [path, size] : garbage) {
          const auto* row = FindRow(rows, path);
          if (row && ((*row)[2] == "Queued..." || (*row)[2] == "Processing...")) return false;
        }
        return true;
      },
      300000))
      << "the cleaning ends";
  for (const auto& [path, size] : garbage) {
    const auto* row = FindRow(rows, path);
    ASSERT_NE(row, nullptr) << path;
    EXPECT_TRUE((*row)[2] == "File Deleted" || (*row)[2] == "Folder Deleted") << path << ": " << (*row)[2];
    EXPECT_FALSE(PathExists(path)) << "still there: " << path;
  }
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForExit());

  for (size_t i = 0; i < keepers.size(); ++i) EXPECT_EQ(Hash(keepers[i]), hashes[i]) << "changed: " << keepers[i];
}

}  // namespace
