#include "scan/search_thread.h"

TSearchInThread::TSearchInThread(platform::MainThread& main_thread, platform::FileSystem& files,
                                 platform::DebugOutput& debug)
    : platform::TThread(main_thread), files_(files), debug_(debug) {}
void TSearchInThread::SetSearchJob(const std::vector<std::string>&, const std::vector<std::string>&,
                                   const std::vector<std::string>&, const std::vector<std::string>&,
                                   const std::vector<std::string>&) {}
void TSearchInThread::Execute() {}
void TSearchInThread::SearchInFolder(const std::string&, const std::string&, bool, bool) {}
void TSearchInThread::DoCurrentFolder() {}
void TSearchInThread::DoFoundObject() {}
void TSearchInThread::DoSearchFinished() {}
int64_t GetFolderSize(platform::FileSystem&, const std::string&, bool) { return 0; }
int64_t GetFileSizeByName(platform::FileSystem&, const std::string&) { return 0; }
