#pragma once
// Full paths of a file table's entries, built up their parents to the root folder (record 5): what
// the tests of the file-table reader compare with the tree the image was made from, and the
// fuzzer's check that every entry it lists leads through folders of the table.
#include <string>
#include <vector>

#include "platform/file_table.h"

struct ListedPath {
  std::string path;  // from the root, "\folder\file.txt"; the caller puts the drive before it
  const platform::ntfs::Entry* entry = nullptr;
};

// One path per link of every entry whose folders all lead to the root: each parent must be in the
// table as a folder with the sequence the reference names. Entries inside a cycle of folders or
// below a missing or reused one (orphans) are left out. Sorted by path.
std::vector<ListedPath> ListPaths(const platform::ntfs::FileTable& table);
