#pragma once
// Items a cleaning run could not remove, because programs hold them, can be removed by the
// system when it next starts (an administrator's right). Nothing is ever scheduled without the
// user's yes: the main window asks once, after the run.
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "scan/scan_filters.h"

// The names to delete at the restart for what is left of an item, in the order the system must
// take them: a folder's files, then its folders deepest first, then the folder itself (only the
// files of a folder that holds a link, which stays, and with it the folders above it). Nothing
// for an item that is gone, is no plain path, is or lies behind a junction or link, is a recycle
// bin, or that the filters keep.
std::vector<std::string> RestartRemovalPaths(platform::FileSystem& files, const std::string& item,
                                             const TScanFilters& filters);

// Hands the names to the system in order; whether it took every one (it stops at the first it
// refuses).
bool ScheduleRemovalAtRestart(platform::FileSystem& files, const std::vector<std::string>& paths);
