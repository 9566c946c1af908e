#pragma once
// Runs the delete worker over the real platform layer, with the test's thread as its main thread,
// and returns its outcomes as text, in order: "file X", "folder X", "partial X: a b" (the files
// left, each after a space), "cannot X".
#include <string>
#include <vector>

std::vector<std::string> RunDeleteWorker(const std::vector<std::string>& items, bool secure_erase = false);
