#pragma once
// Shell services: special folders, the Recycle Bin and opening documents.
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Window handle passed through to the shell as owner; 0 for none.
using WindowHandle = uintptr_t;

enum Csidl : int {
  kCsidlRecent = 0x0008,
  kCsidlAppData = 0x001A,
  kCsidlLocalAppData = 0x001C,
  kCsidlInternetCache = 0x0020,
  kCsidlCommonAppData = 0x0023,
  kCsidlProfile = 0x0028,
  kCsidlProgramFilesX86 = 0x002A,
};

struct SpecialFolder {
  bool allocator_available = true;  // SHGetMalloc succeeded
  bool resolved = false;            // SHGetPathFromIDListA succeeded
  std::string path;                 // the folder, no trailing backslash
};

class Shell {
 public:
  virtual ~Shell() = default;

  // SHGetMalloc + SHGetSpecialFolderLocation + SHGetPathFromIDListA, freeing what they allocate.
  virtual SpecialFolder GetSpecialFolder(WindowHandle owner, int csidl) = 0;
  // SHGetFolderPathA(CSIDL_LOCAL_APPDATA, SHGFP_TYPE_CURRENT); empty when it fails.
  virtual std::string GetLocalAppDataFolder() = 0;

  // SHFileOperationA(FO_DELETE) of one path with the given FOF_ flags; returns its result (0 is
  // success). The path is handed over in a double-NUL-terminated buffer of its own size.
  virtual int FileOperationDelete(const std::string& path, unsigned flags) = 0;
  // SHEmptyRecycleBinA with the given root ("" for all drives) and SHERB_ flags; its result.
  virtual long EmptyRecycleBin(const std::string& root, unsigned flags) = 0;

  // ShellExecuteA(owner, verb or NULL when empty, file, NULL, NULL, SW_SHOWNORMAL).
  virtual void Execute(WindowHandle owner, const std::string& verb, const std::string& file) = 0;

  // SHBrowseForFolderA (file-system folders only) + SHGetPathFromIDListA, modal to owner: the
  // folder the user chose, nothing when they cancelled or chose no file-system folder.
  virtual std::optional<std::string> BrowseForFolder(WindowHandle owner, const std::string& title) = 0;
};

// Flags with the values the shell uses.
enum : unsigned {
  kFofSilent = 0x0004,
  kFofNoConfirmation = 0x0010,
  kFofAllowUndo = 0x0040,
  kSherbNoConfirmation = 0x1,
  kSherbNoProgressUi = 0x2,
};

}  // namespace platform
