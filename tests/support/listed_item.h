#pragma once
// An item to clean as a scan would hand it over: its kind and the file id that its folder's
// listing gives now, so that a test can change the tree afterwards, as another program might
// between the scan and the cleaning.
#include <string>
#include <vector>

#include "clean/clean_item.h"
#include "platform/file_system.h"

TCleanItem ListedItem(platform::FileSystem& files, const std::string& path);
std::vector<TCleanItem> ListedItems(platform::FileSystem& files, const std::vector<std::string>& paths);
