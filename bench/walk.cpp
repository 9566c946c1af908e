// The floor a scan is measured against: a bare recursive FindFirstFileA/FindNextFileA walk of a
// tree, and the same tree listed by "cmd /c dir /s /a /b". With --wide, also the walk through the
// program's file system (WalkAsTheProgram), to show what its wide calls cost against the ANSI
// ones. With --delete=<ending> instead, the bare deletion walk that "Clean All" is measured
// against: the same walk, deleting with DeleteFileA every file whose name ends so. One line per
// figure:
//   walk_seconds=<s> walk_entries=<n>
//   delete_seconds=<s> deleted=<n> delete_failed=<n>
//   wide_seconds=<s> wide_entries=<n>
//   dir_seconds=<s>
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/clock.h"
#include "platform/win32/win32_platform.h"

namespace {

long long Walk(const std::string& folder) {
  long long entries = 0;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    ++entries;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      entries += Walk(folder + "\\" + name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return entries;
}

// The same walk through the program's own file system, as its scan walks: the wide calls
// (FindFirstFileExW, basic information, large fetches), every name turned into UTF-8, and each
// subfolder's attributes looked up again before it is entered.
long long WalkAsTheProgram(platform::FileSystem& files, const std::string& folder) {
  long long entries = 0;
  for (const platform::FindEntry& entry : files.FindFiles(folder + "\\*")) {
    ++entries;
    if (!entry.IsFolder() || entry.IsReparsePoint()) continue;
    const std::string sub = folder + "\\" + entry.name;
    const auto attributes = files.GetAttributes(sub);
    if (attributes && (*attributes & platform::kAttrDirectory) && !(*attributes & platform::kAttrReparsePoint))
      entries += WalkAsTheProgram(files, sub);
  }
  return entries;
}

bool EndsWith(const std::string& name, const std::string& ending) {
  return name.size() >= ending.size() &&
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.data() + name.size() - ending.size(),
                        static_cast<int>(ending.size()), ending.data(), static_cast<int>(ending.size())) == CSTR_EQUAL;
}

// Files first, as the folder's listing gives them, then its folders.
void DeleteWalk(const std::string& folder, const std::string& ending, long long* deleted, long long* failed) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      if (EndsWith(name, ending)) ++*(DeleteFileA(path.c_str()) ? deleted : failed);
    } else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      DeleteWalk(path, ending, deleted, failed);
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

double RunDir(const std::string& folder) {
  std::string command = "cmd.exe /c dir /s /a /b \"" + folder + "\" > NUL";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  const double start = Now();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return -1;
  WaitForSingleObject(info.hProcess, INFINITE);
  const double seconds = Now() - start;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: walk.exe <folder> [--wide] [--dir] | --delete=<ending>\n");
    return 2;
  }
  const std::string folder = argv[1];
  if (argc == 3 && std::string(argv[2]).starts_with("--delete=")) {
    long long deleted = 0, failed = 0;
    const double start = Now();
    DeleteWalk(folder, std::string(argv[2]).substr(9), &deleted, &failed);
    std::printf("delete_seconds=%.3f deleted=%lld delete_failed=%lld\n", Now() - start, deleted, failed);
    return deleted > 0 ? 0 : 1;
  }
  const double start = Now();
  const long long entries = Walk(folder);
  std::printf("walk_seconds=%.3f walk_entries=%lld\n", Now() - start, entries);
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--wide") {
      const double wide_start = Now();
      const auto files = platform::win32::CreateFileSystem();
      const long long wide_entries = WalkAsTheProgram(*files, folder);
      std::printf("wide_seconds=%.3f wide_entries=%lld\n", Now() - wide_start, wide_entries);
    } else if (option == "--dir") {
      std::printf("dir_seconds=%.3f\n", RunDir(folder));
    }
  }
  return entries > 0 ? 0 : 1;
}
