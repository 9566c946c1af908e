// Names that the ANSI calls would turn into other paths, listed by the file-system service: every
// listed name is the real one and reaches the very file it stands for.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/wine/support/file_tree.h"

using ::testing::Contains;
using ::testing::Not;

namespace {

// Writes `content` to a file named by a wide path.
void WriteWide(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

TEST(FileNamesWine, NamesOutsideTheCodePageAreListedAsTheyAreAndReachTheirOwnFile) {
  FileTree tree("C:\\cxtest-names");
  const std::wstring root = L"C:\\cxtest-names\\";
  // What best-fitting would make of the names below: real files that must never be reached.
  tree.TextFile("system32\\driver.log", "canary: system32");
  tree.TextFile("lnk\\thesis.docx", "canary: thesis");
  tree.TextFile("O.log", "canary: omega");
  WriteWide(root + L"system32\uFF3Cdriver.log", "fullwidth solidus");
  WriteWide(root + L"lnk\uFF3Cthesis.docx", "fullwidth in a document name");
  WriteWide(root + L"\u03A9.log", "omega");
  WriteWide(root + L"caf\u00E9 [1] %x% & !~.log", "code page name");  // é is in the ANSI code page

  auto files = platform::win32::CreateFileSystem();
  std::map<std::string, std::string> listed;  // name -> what its path opens
  for (const platform::FindEntry& entry : files->FindFiles(tree.root() + "\\*")) {
    EXPECT_EQ(entry.name.find_first_of("\\/?*"), std::string::npos) << entry.name;
    if (!entry.IsFolder()) listed[entry.name] = ReadShared(tree.Path(entry.name)).value_or("<none>");
  }
  // Every listed name opens a file of its own, and no two names open the same one.
  std::map<std::string, int> opened;
  for (const auto& [name, content] : listed) {
    EXPECT_NE(content, "<none>") << name << " names nothing";
    ++opened[content];
  }
  for (const auto& [content, count] : opened) EXPECT_EQ(count, 1) << content << " is listed " << count << " times";
  EXPECT_EQ(listed["O.log"], "canary: omega");
  EXPECT_EQ(listed["\xCE\xA9.log"], "omega");
  EXPECT_EQ(listed["system32\xEF\xBC\xBC"
                   "driver.log"],
            "fullwidth solidus");
  EXPECT_EQ(listed["lnk\xEF\xBC\xBC"
                   "thesis.docx"],
            "fullwidth in a document name");
  EXPECT_EQ(listed["caf\xC3\xA9 [1] %x% & !~.log"], "code page name");
  EXPECT_EQ(listed.size(), 5u);
}

}  // namespace
