// The shell service over shell32 and SHFolder.
#include <windows.h>
// windows.h first: shlobj.h needs its types.
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// Results of SHFileOperationW for sources it must not be handed.
constexpr int kDePathTooDeep = 0x79;   // DE_PATHTOODEEP: a path the shell cannot take
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
    wchar_t buffer[MAX_PATH] = {};
    if (pidl != nullptr && SHGetPathFromIDListW(pidl, buffer)) {
      folder.resolved = true;
      folder.path = Utf8(buffer);
    }
    if (pidl != nullptr) allocator->Free(pidl);
    allocator->Release();
    return folder;
  }

  std::string GetLocalAppDataFolder() override {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) return "";
    return Utf8(buffer);
  }

  int FileOperationDelete(const std::string& path, unsigned flags) override {
    // The source is a list of NUL-separated names, and names holding wildcards are expanded:
    // anything but one plain path would delete more than was asked for.
    if (path.empty() || path.find_first_of(std::string("*?\0", 3)) != std::string::npos) return kDeInvalidFiles;
    const auto wide = SystemPath(path, kPathLimit);
    if (!wide) return kDeInvalidFiles;
    // The shell takes no "\\?\" path: a long one, or a name ending in a dot or a space, is left to
    // the caller's file-by-file deletion.
    if (IsExtendedPath(*wide)) return kDePathTooDeep;
    std::vector<wchar_t> source(wide->begin(), wide->end());
    source.push_back(L'\0');
    source.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = source.data();
    op.pTo = nullptr;
    op.fFlags = static_cast<FILEOP_FLAGS>(flags);
    return SHFileOperationW(&op);
  }

  long EmptyRecycleBin(const std::string& root, unsigned flags) override {
    const std::wstring wide = Wide(root);
    return SHEmptyRecycleBinW(nullptr, root.empty() ? nullptr : wide.c_str(), flags);
  }

  void Execute(WindowHandle owner, const std::string& verb, const std::string& file) override {
    const std::wstring wide_verb = Wide(verb);
    ShellExecuteW(reinterpret_cast<HWND>(owner), verb.empty() ? nullptr : wide_verb.c_str(), Wide(file).c_str(),
                  nullptr, nullptr, SW_SHOWNORMAL);
  }

  std::optional<std::string> BrowseForFolder(WindowHandle owner, const std::string& title) override {
    const std::wstring wide_title = Wide(title);
    BROWSEINFOW info = {};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.lpszTitle = wide_title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST pidl = SHBrowseForFolderW(&info);
    if (pidl == nullptr) return std::nullopt;
    wchar_t buffer[MAX_PATH] = {};
    const bool resolved = SHGetPathFromIDListW(pidl, buffer) != FALSE;
    CoTaskMemFree(pidl);
    if (!resolved || buffer[0] == L'\0') return std::nullopt;
    return Utf8(buffer);
  }
};

}  // namespace

std::unique_ptr<Shell> CreateShell() { return std::make_unique<Win32Shell>(); }

}  // namespace platform::win32
