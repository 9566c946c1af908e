// The shell service over shell32 and SHFolder.
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// Results of SHFileOperationA for sources it must not be handed.
constexpr int kDePathTooDeep = 0x79;   // DE_PATHTOODEEP: longer than MAX_PATH
constexpr int kDeInvalidFiles = 0x7C;  // DE_INVALIDFILES

class Win32Shell : public Shell {
 public:
  SpecialFolder GetSpecialFolder(WindowHandle owner, int csidl) override {
    SpecialFolder folder;
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) {
      folder.allocator_available = false;
      return folder;
    }
    LPITEMIDLIST pidl = nullptr;
    // The status is not needed: a failed lookup leaves no list and the conversion fails.
    SHGetSpecialFolderLocation(reinterpret_cast<HWND>(owner), csidl, &pidl);
    char buffer[MAX_PATH] = {};
    if (pidl != nullptr && SHGetPathFromIDListA(pidl, buffer)) {
      folder.resolved = true;
      folder.path = buffer;
    }
    if (pidl != nullptr) allocator->Free(pidl);
    allocator->Release();
    return folder;
  }

  std::string GetLocalAppDataFolder() override {
    char buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) return "";
    return buffer;
  }

  int FileOperationDelete(const std::string& path, unsigned flags) override {
    // The source is a list of NUL-separated names, and names holding wildcards are expanded:
    // anything but one plain path would delete more than was asked for.
    if (path.empty() || path.find_first_of(std::string("*?\0", 3)) != std::string::npos) return kDeInvalidFiles;
    if (path.size() >= MAX_PATH) return kDePathTooDeep;
    std::vector<char> source(path.begin(), path.end());
    source.push_back('\0');
    source.push_back('\0');
    SHFILEOPSTRUCTA op = {};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = source.data();
    op.pTo = nullptr;
    op.fFlags = static_cast<FILEOP_FLAGS>(flags);
    return SHFileOperationA(&op);
  }

  long EmptyRecycleBin(const std::string& root, unsigned flags) override {
    return SHEmptyRecycleBinA(nullptr, root.empty() ? nullptr : root.c_str(), flags);
  }

  void Execute(WindowHandle owner, const std::string& verb, const std::string& file) override {
    ShellExecuteA(reinterpret_cast<HWND>(owner), verb.empty() ? nullptr : verb.c_str(), file.c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
  }

  std::optional<std::string> BrowseForFolder(WindowHandle owner, const std::string& title) override {
    BROWSEINFOA info = {};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST pidl = SHBrowseForFolderA(&info);
    if (pidl == nullptr) return std::nullopt;
    char buffer[MAX_PATH] = {};
    const bool resolved = SHGetPathFromIDListA(pidl, buffer) != FALSE;
    CoTaskMemFree(pidl);
    if (!resolved || buffer[0] == '\0') return std::nullopt;
    return std::string(buffer);
  }
};

}  // namespace

std::unique_ptr<Shell> CreateShell() { return std::make_unique<Win32Shell>(); }

}  // namespace platform::win32
