#pragma once
// Test doubles of the platform services other than the file system. Each records what it was
// asked and answers from fields the test sets.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/fake_debug_output.h"
#include "tests/support/fake_file_system.h"

// The shell: special folders by CSIDL, deletes that move a tree out of the fake file system into
// `recycled`, and a record of every call.
class FakeShell : public platform::Shell {
 public:
  explicit FakeShell(FakeFileSystem& files) : files_(files) {}
  platform::SpecialFolder GetSpecialFolder(platform::WindowHandle owner, int csidl) override;
  std::string GetLocalAppDataFolder() override { return local_app_data; }
  int FileOperationDelete(const std::string& path, unsigned flags) override;
  long EmptyRecycleBin(const std::string& root, unsigned flags) override;
  void Execute(platform::WindowHandle owner, const std::string& verb, const std::string& file) override;
  std::optional<std::string> BrowseForFolder(platform::WindowHandle, const std::string&) override {
    return browsed_folder;
  }

  std::optional<std::string> browsed_folder;   // what the folder picker answers
  std::map<int, std::string> special_folders;  // missing: the lookup fails
  bool allocator_available = true;
  std::string local_app_data = "C:\\Documents and Settings\\User\\Local Settings\\Application Data";
  std::vector<std::string> recycled;  // paths moved to the Recycle Bin
  std::vector<unsigned> delete_flags;
  std::vector<std::pair<std::string, unsigned>> emptied;      // (root, flags) of each emptying
  std::vector<std::pair<std::string, std::string>> executed;  // (verb, file)
  std::function<void(const std::string&)> on_delete;          // called before a delete, may throw
  std::function<void()> on_empty;                             // what emptying the bins does to the fake file system
  // Answers 0 even when the tree could not be removed, as Wine's shell does for a folder that
  // holds a file in use (it deletes what it can and reports success).
  bool claims_success = false;

 private:
  FakeFileSystem& files_;
  std::mutex mutex_;
};

class FakeUrlCache : public platform::UrlCache {
 public:
  platform::InternetHandle FindFirst(std::string* source_url) override;
  bool FindNext(platform::InternetHandle find, std::string* source_url) override;
  bool DeleteEntry(const std::string& source_url) override;
  void FindClose(platform::InternetHandle find) override;

  std::vector<std::string> entries;
  std::vector<std::string> deleted;
  int open_finds = 0;
  int closed_finds = 0;

 private:
  size_t next_ = 0;
};

// HTTP: answers an address with a body delivered in the given chunks (each Read returns at most
// one chunk, and never more than the caller's buffer). Keeps the limits of every request and
// counts the bytes handed out, as the real one fetches at most max_body + 1 of them.
class FakeHttp : public platform::Http {
 public:
  platform::InternetHandle Open(const std::string& agent) override;
  platform::InternetHandle OpenUrl(platform::InternetHandle session, const std::string& url, uint32_t flags,
                                   const platform::HttpLimits& limits) override;
  size_t Read(platform::InternetHandle request, char* buffer, size_t size) override;
  void Close(platform::InternetHandle handle) override;

  bool can_open = true;
  std::map<std::string, std::vector<std::string>> responses;  // url -> chunks; missing: cannot open
  std::vector<std::string> agents;
  std::vector<std::pair<std::string, uint32_t>> requests;  // (url, flags)
  std::vector<platform::HttpLimits> limits;
  size_t bytes_read = 0;
  int open_handles = 0;

 private:
  std::deque<std::string> pending_;
  platform::InternetHandle next_handle_ = 1;
};

class FakeProcesses : public platform::Processes {
 public:
  struct Process {
    uint32_t id;
    std::string exe_file;
    std::string module_name;  // empty: cannot be opened for reading
    bool can_terminate = true;
  };
  std::optional<std::vector<platform::SnapshotEntry>> Snapshot() override;
  std::string ModuleBaseName(uint32_t process_id) override;
  bool Terminate(uint32_t process_id, uint32_t exit_code) override;

  bool snapshot_available = true;
  std::vector<Process> running;
  std::vector<uint32_t> terminated;
};

class FakeSecurity : public platform::Security {
 public:
  std::optional<platform::TokenHandle> OpenThreadToken(bool open_as_self, uint32_t* last_error) override;
  std::optional<platform::TokenHandle> OpenProcessToken() override;
  std::optional<std::vector<platform::TokenGroup>> GetTokenGroups(platform::TokenHandle token,
                                                                  size_t buffer_size) override;
  void CloseToken(platform::TokenHandle token) override;

  // Tokens: nothing means the token cannot be opened (a thread without one gives ERROR_NO_TOKEN).
  std::optional<std::vector<platform::TokenGroup>> thread_groups;
  std::optional<std::vector<platform::TokenGroup>> process_groups = std::vector<platform::TokenGroup>{};
  uint32_t thread_open_error = platform::kErrorNoToken;
  std::vector<bool> open_as_self_args;
  int open_tokens = 0;

  static platform::Sid AdministratorsSid();
  static platform::Sid UsersSid();
  // Bytes the token-groups record takes for these groups (count, then SID pointer and attributes
  // per group, then the SIDs), as a 32-bit Windows lays it out.
  static size_t RecordSize(const std::vector<platform::TokenGroup>& groups);
};

class FakeRegistry : public platform::Registry {
 public:
  std::unique_ptr<platform::RegistryKey> OpenKey(platform::RegistryRoot root, const std::string& path) override;
  // The same keys, refusing every write through them.
  std::unique_ptr<platform::RegistryKey> OpenKeyToRead(platform::RegistryRoot root, const std::string& path) override;

  struct Value {
    platform::ValueKind kind = platform::ValueKind::kString;
    std::string text;
    uint32_t number = 0;  // for kNumber
  };
  // Keys that exist, by "HKCU\path" with the path as passed; values by name.
  std::map<std::string, std::map<std::string, Value>> keys;
  bool refuse_writes = false;
  int flushes = 0;
  std::vector<std::string> opened;

 private:
  std::unique_ptr<platform::RegistryKey> Open(platform::RegistryRoot root, const std::string& path, bool read_only);
};

class FakeSystemInfo : public platform::SystemInfo {
 public:
  bool GetVersion(platform::VersionInfo* info) override;
  void TrimWorkingSet() override { ++trims; }
  std::string ExecutablePath() override { return executable_path; }
  char DecimalSeparator() override { return decimal_separator; }
  int64_t Now() override { return now; }
  std::string ComputerName() override { return computer_name; }
  // %SystemDrive% and %USERPROFILE% as on a machine of the tests.
  std::string ExpandEnvironment(const std::string& text) override;
  std::string AnsiToUtf8(const std::string& text) override { return text; }
  std::vector<std::string> PreferredUILanguages() override { return preferred_languages; }

  std::vector<std::string> preferred_languages = {"en-US"};
  std::optional<platform::VersionInfo> version = platform::VersionInfo{2, 5, 1, "Service Pack 3"};
  std::string executable_path = "C:\\Program Files\\Clutterix\\clutterix.exe";
  char decimal_separator = '.';
  std::string computer_name = "DESK-7";
  // 2026-12-09 00:00 UTC; planted files default to long before.
  int64_t now = 134412480000000000;
  int trims = 0;
};

// Records every event written, in order.
class FakeEventLog : public platform::EventLog {
 public:
  struct Event {
    platform::EventKind kind;
    platform::EventId id;
    std::string text;
  };
  bool Write(platform::EventKind kind, platform::EventId id, const std::string& text) override {
    written.push_back({kind, id, text});
    return true;
  }
  std::vector<Event> written;
};

// Every double in one place, bundled as the platform layer.
struct FakePlatform {
  FakeFileSystem files;
  FakeShell shell{files};
  FakeUrlCache url_cache;
  FakeHttp http;
  FakeProcesses processes;
  FakeSecurity security;
  FakeRegistry registry;
  FakeSystemInfo system;
  FakeDebugOutput debug;
  FakeEventLog events;
  platform::Platform os{files, shell, url_cache, http, processes, security, registry, system, debug, events};
};
