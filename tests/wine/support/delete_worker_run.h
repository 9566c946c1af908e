#pragma once
// Runs the delete worker over the real platform layer, with the test's thread as its main thread,
// and returns its outcomes as text, in order: "file X", "folder X", "partial X: a b" (the files
// left, each after a space), "cannot X".
#include <string>
#include <vector>

#include "clean/clean_item.h"

std::vector<std::string> RunDeleteWorker(const std::vector<std::string>& items, bool secure_erase = false);
// The same for items as a scan hands them over: each with its kind and the file id its folder's
// listing gave (see ListedItem), so that the tree can change between the listing and the run.
std::vector<std::string> RunDeleteWorker(std::vector<TCleanItem> items, bool secure_erase = false);
