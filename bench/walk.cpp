// The floor a scan is measured against: a bare recursive FindFirstFileA/FindNextFileA walk of a
// tree, and the same tree listed by "cmd /c dir /s /a /b". With --wide, also the walk by the calls
// the program's file system makes (FindFirstFileExW, basic information, large fetches), to show
// what reading every name as UTF-16 costs against the ANSI calls. One line per figure:
//   walk_seconds=<s> walk_entries=<n>
//   wide_seconds=<s> wide_entries=<n>
//   dir_seconds=<s>
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/clock.h"

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

// As the program lists a folder; FindExInfoBasic is 1 and FIND_FIRST_EX_LARGE_FETCH 2, spelt out
// for headers that predate them.
long long WalkWide(const std::wstring& folder) {
  long long entries = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), static_cast<FINDEX_INFO_LEVELS>(1), &data,
                                 FindExSearchNameMatch, nullptr, 2);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    ++entries;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      entries += WalkWide(folder + L"\\" + name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return entries;
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
    std::fprintf(stderr, "usage: walk.exe <folder> [--wide] [--dir]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const double start = Now();
  const long long entries = Walk(folder);
  std::printf("walk_seconds=%.3f walk_entries=%lld\n", Now() - start, entries);
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--wide") {
      const double wide_start = Now();
      const long long wide_entries = WalkWide(std::wstring(folder.begin(), folder.end()));
      std::printf("wide_seconds=%.3f wide_entries=%lld\n", Now() - wide_start, wide_entries);
    } else if (option == "--dir") {
      std::printf("dir_seconds=%.3f\n", RunDir(folder));
    }
  }
  return entries > 0 ? 0 : 1;
}
