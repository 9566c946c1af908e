#include "clean/delete_thread.h"

TDeleteThread::TDeleteThread(platform::MainThread& main_thread, platform::Platform& os)
    : platform::TThread(main_thread), os_(os) {}
void TDeleteThread::SetJobList(const std::vector<std::string>& Items) { FJobItems = Items; }
void TDeleteThread::Execute() {}
void TDeleteThread::DeleteItem(const std::string&) {}
bool ShellDelete(platform::Shell&, const std::string&) { return false; }
std::vector<std::string> ListFolderFiles(platform::FileSystem&, const std::string&) { return {}; }
void ClearUrlCache(platform::UrlCache&) {}
